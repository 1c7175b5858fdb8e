#include "personal/FavouritesList.h"

#include "userfiles/FavouritesFile.h"

#include <QListWidget>
#include <QPointer>
#include <QVariant>

namespace ravel32 {

namespace {

using FavouritesFile::Entry;
using FavouritesFile::LineEnd;
using FavouritesFile::LineForm;

// What a list remembers of its file as a whole: whether the file starts with
// a byte-order mark of its own, and the encodings of its lines, which a new
// entry's encoding follows.
class ListFileState final : public QObject {
    Q_OBJECT

public:
    explicit ListFileState(QListWidget* list) : QObject(list) { setObjectName(kName); }

    static ListFileState* Find(const QListWidget* list)
    {
        return list->findChild<ListFileState*>(kName, Qt::FindDirectChildrenOnly);
    }

    static ListFileState* Of(QListWidget* list)
    {
        ListFileState* state = Find(list);
        return state ? state : new ListFileState(list);
    }

    bool byteOrderMark = false;
    FavouritesFile::Tally tally;

private:
    static inline const QString kName = QStringLiteral("nimbrelListFileState");
};

// The item data that keeps an entry's whole text when the list shows it cut
// short, and how the entry's line was stored when that is not as a new
// entry's (UTF-8 with CR LF): a list of ordinary entries costs no data for it.
constexpr int kWholeTextRole = Qt::UserRole + 1;
constexpr int kLineFormRole = Qt::UserRole + 2;

int packed(LineForm form)
{
    return (form.codePage ? 1 : 0) | (static_cast<int>(form.end) << 1);
}

LineForm lineForm(const QListWidgetItem* item)
{
    const QVariant v = item->data(kLineFormRole);
    if (!v.isValid())
        return {};
    const int n = v.toInt();
    return {(n & 1) != 0, static_cast<LineEnd>((n >> 1) & 3)};
}

Entry entryOf(const QListWidgetItem* item)
{
    return {ListEntryText(item), lineForm(item)};
}

QListWidgetItem* newEntryItem(const QString& text, LineForm form)
{
    const bool cut = text.size() > kShownEntryCharacters;
    auto* item = new QListWidgetItem(cut ? text.left(kShownEntryCharacters) + QChar(0x2026) : text);
    if (cut)
        item->setData(kWholeTextRole, text);
    if (form != LineForm{})
        item->setData(kLineFormRole, packed(form));
    return item;
}

}  // namespace

bool ReadListFile(const QString& path, QListWidget* list, const EventTurn& doEvents)
{
    QByteArray bytes;
    if (!UserTextFile::ReadAll(path, bytes))
        return false;

    const QPointer<QListWidget> target(list);
    const int entriesBefore = list->count();
    FavouritesFile::Reader reader(bytes);
    while (!reader.AtEnd()) {
        const Entry entry = reader.Next();
        if (!doEvents() || !target)
            return false;
        target->addItem(newEntryItem(entry.text, entry.form));
    }
    ListFileState* state = ListFileState::Of(list);
    // The mark is the file's, so it is kept only when the list is the file's alone.
    if (reader.ByteOrderMark() && entriesBefore == 0)
        state->byteOrderMark = true;
    state->tally.Add(reader.Tallied());
    return true;
}

QString ListEntryText(const QListWidgetItem* item)
{
    const QVariant whole = item->data(kWholeTextRole);
    return whole.isValid() ? whole.toString() : item->text();
}

QByteArray ListEntryBytes(const QListWidgetItem* item)
{
    return FavouritesFile::EntryBytes(entryOf(item));
}

bool WriteListFile(const QString& path, QListWidget* list, QString* error)
{
    QByteArray bytes;
    // The mark stays though every entry is gone: a file that held only the
    // mark is written back as it was.
    if (const ListFileState* state = ListFileState::Find(list); state && state->byteOrderMark)
        bytes += FavouritesFile::kByteOrderMark;
    const int count = list->count();
    for (int i = 0; i < count; ++i)
        FavouritesFile::AppendLine(bytes, entryOf(list->item(i)), i + 1 == count);
    return WriteFileAtomically(path, bytes, error);
}

void AppendListEntry(QListWidget* list, const QString& text)
{
    ListFileState* state = ListFileState::Of(list);
    const Entry entry{text, FavouritesFile::NewEntryForm(text, state->tally)};
    if (const int count = list->count(); count > 0) {
        QListWidgetItem* last = list->item(count - 1);
        const LineForm form = lineForm(last);
        if (const LineForm followed = FavouritesFile::Followed(form); followed != form)
            last->setData(kLineFormRole, packed(followed));
    }
    state->tally.Count(entry);
    list->addItem(newEntryItem(entry.text, entry.form));
}

void RemoveListEntry(QListWidget* list, int row)
{
    QListWidgetItem* item = list->takeItem(row);
    if (!item)
        return;
    ListFileState::Of(list)->tally.Count(entryOf(item), -1);
    delete item;
}

}  // namespace ravel32

// ListFileState is a QObject declared in this file (findChild needs its meta-object).
#include "FavouritesList.moc"
