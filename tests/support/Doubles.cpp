#include "support/Doubles.h"

#include <QWidget>

namespace {
QString nameOf(const QString& path, const QString& dir)
{
    return path.startsWith(dir) ? path.mid(dir.size()) : path;
}
}  // namespace

void RecordingSound::PlayWave(const QString& path)
{
    const QString name = nameOf(path, m_dir);
    played.append(name);
    m_log.Add(QStringLiteral("sound ") + name);
}

QPixmap RecordingPictures::Load(const QString& path)
{
    const QString name = nameOf(path, m_dir);
    m_log.Add(QStringLiteral("picture ") + name);
    if (missing.contains(name))
        return {};
    QPixmap p(size);
    p.fill(Qt::darkGray);
    return p;
}

ScriptedBrowser::ScriptedBrowser(EventLog& log, int id_, QWidget* parent)
    : BrowserControl(parent), id(id_), m_log(log), m_view(new QWidget(parent))
{
}

bool ScriptedBrowser::Record(const QString& call, bool ok)
{
    m_log.Add(QStringLiteral("browser %1 %2").arg(id).arg(call));
    return ok && !refuseAll;
}

bool ScriptedBrowser::Navigate(const QString& address)
{
    if (refuseAll)
        return Record(QStringLiteral("Navigate ") + address, false);
    if (followNavigation) {
        history = history.mid(0, position + 1);
        history.append(address);
        position = static_cast<int>(history.size()) - 1;
        locationURL = address;
        emit LocationChanged();
    }
    return Record(QStringLiteral("Navigate ") + address, true);
}

bool ScriptedBrowser::GoBack()
{
    const bool ok = position > 0;
    if (ok && !refuseAll) {
        locationURL = history.at(--position);
        emit LocationChanged();
    }
    return Record(QStringLiteral("GoBack"), ok);
}

bool ScriptedBrowser::GoForward()
{
    const bool ok = position + 1 < history.size();
    if (ok && !refuseAll) {
        locationURL = history.at(++position);
        emit LocationChanged();
    }
    return Record(QStringLiteral("GoForward"), ok);
}

bool ScriptedBrowser::Refresh() { return Record(QStringLiteral("Refresh"), true); }
bool ScriptedBrowser::Stop() { return Record(QStringLiteral("Stop"), true); }
bool ScriptedBrowser::GoHome() { return Record(QStringLiteral("GoHome"), true); }
bool ScriptedBrowser::GoSearch() { return Record(QStringLiteral("GoSearch"), true); }

void ScriptedBrowser::RaisePageLoad(const QString& url, const QString& name)
{
    busy = true;
    emit DownloadBegin();
    locationURL = url;
    locationName = name;
    emit LocationChanged();
    emit ProgressChange(50, 100);
    emit NavigateComplete2(url);
    emit ProgressChange(-1, 100);
    busy = false;
    emit DownloadComplete();
    emit DocumentComplete(url);
}

BrowserControl* ScriptedBrowserFactory::Create(QWidget* parent)
{
    auto* b = new ScriptedBrowser(m_log, static_cast<int>(created.size()), parent);
    created.append(b);
    return b;
}

TransferResult ScriptedTransfer::OpenURL(const QString& address)
{
    addresses.append(address);
    m_log.Add(QStringLiteral("transfer ") + address);
    if (results.empty())
        return {false, {}, QStringLiteral("No answer")};
    TransferResult r = results.front();
    results.pop_front();
    return r;
}

QString ScriptedDialogs::ShowOpen(QWidget*, const QString& filter)
{
    filters.append(filter);
    m_log.Add(QStringLiteral("dialog open"));
    if (answers.empty())
        return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedDialogs::ShowSave(QWidget*, const QString& filter)
{
    filters.append(filter);
    m_log.Add(QStringLiteral("dialog save"));
    if (answers.empty())
        return {};
    QString a = answers.front();
    answers.pop_front();
    return a;
}

void RecordingProcessEnd::EndNow()
{
    ++ends;
    m_log.Add(QStringLiteral("end"));
}

double FixedRandom::Rnd()
{
    ++draws;
    if (values.empty())
        return 0.0;
    const double v = values[next % values.size()];
    ++next;
    return v;
}

void RecordingMessages::Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text)
{
    shown.push_back({icon, modality, parent, title, text});
}

QStringList RecordingMessages::TextsOver(const QWidget* parent) const
{
    QStringList texts;
    for (const Shown& message : shown)
        if (message.parent == parent)
            texts.append(message.text);
    return texts;
}
