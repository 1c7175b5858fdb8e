#pragma once

#include "ports/BrowserControl.h"
#include "ports/FileDialogs.h"
#include "ports/Messages.h"
#include "ports/PictureLoader.h"
#include "ports/ProcessEnd.h"
#include "ports/RandomSource.h"
#include "ports/SoundPlayer.h"
#include "ports/Transfer.h"
#include "support/EventLog.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <deque>
#include <vector>

// Records "sound <name>", the name being the path with the program directory cut off.
class RecordingSound final : public SoundPlayer {
public:
    RecordingSound(EventLog& log, QString programDir) : m_log(log), m_dir(std::move(programDir)) {}
    void PlayWave(const QString& path) override;
    QStringList played;  // names, in order

private:
    EventLog& m_log;
    QString m_dir;
};

// Gives a small pixmap for every path except those marked missing, and
// records "picture <name>".
class RecordingPictures final : public PictureLoader {
public:
    RecordingPictures(EventLog& log, QString programDir) : m_log(log), m_dir(std::move(programDir)) {}
    QPixmap Load(const QString& path) override;
    QSet<QString> missing;  // names (with the leading "/") that fail to load
    QSize size{74, 17};

private:
    EventLog& m_log;
    QString m_dir;
};

// A browser control that records its calls ("browser <id> Navigate <address>")
// and raises events when the test asks. It keeps a simple history so that
// GoBack and GoForward are refused at the ends, as the real control does.
class ScriptedBrowser final : public BrowserControl {
    Q_OBJECT
public:
    ScriptedBrowser(EventLog& log, int id, QWidget* parent);

    QWidget* widget() const override { return m_view; }
    bool Navigate(const QString& address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Refresh() override;
    bool Stop() override;
    bool GoHome() override;
    bool GoSearch() override;
    QString LocationURL() const override { return locationURL; }
    QString LocationName() const override { return locationName; }
    bool Busy() const override { return busy; }

    // State the test sets; Navigate sets locationURL to the address unless
    // followNavigation is false.
    QString locationURL;
    QString locationName;
    bool busy = false;
    bool followNavigation = true;
    bool refuseAll = false;
    int id = 0;
    QStringList history;
    int position = -1;

    // Raises the whole sequence of a page load, ending on DocumentComplete.
    void RaisePageLoad(const QString& url, const QString& name);

private:
    bool Record(const QString& call, bool ok);
    EventLog& m_log;
    QWidget* m_view;
};

class ScriptedBrowserFactory final : public BrowserFactory {
public:
    explicit ScriptedBrowserFactory(EventLog& log) : m_log(log) {}
    BrowserControl* Create(QWidget* parent) override;
    QList<QPointer<ScriptedBrowser>> created;

private:
    EventLog& m_log;
};

class ScriptedTransfer final : public Transfer {
public:
    explicit ScriptedTransfer(EventLog& log) : m_log(log) {}
    TransferResult OpenURL(const QString& address) override;
    std::deque<TransferResult> results;  // answered in order; empty gives a failure
    QStringList addresses;

private:
    EventLog& m_log;
};

class ScriptedDialogs final : public FileDialogs {
public:
    explicit ScriptedDialogs(EventLog& log) : m_log(log) {}
    QString ShowOpen(QWidget* parent, const QString& filter) override;
    QString ShowSave(QWidget* parent, const QString& filter) override;
    std::deque<QString> answers;  // file names answered in order; empty means cancel
    QStringList filters;

private:
    EventLog& m_log;
};

class RecordingProcessEnd final : public ProcessEnd {
public:
    explicit RecordingProcessEnd(EventLog& log) : m_log(log) {}
    void EndNow() override;
    int ends = 0;

private:
    EventLog& m_log;
};

// Answers Rnd() from a fixed list, cycling; records each Randomize.
class FixedRandom final : public RandomSource {
public:
    void Randomize() override { ++randomizes; }
    double Rnd() override;
    std::vector<double> values{0.5};
    size_t next = 0;
    int randomizes = 0;
    int draws = 0;
};

// Keeps every message the program shows, in order; nothing appears on screen.
class RecordingMessages final : public Messages {
public:
    struct Shown {
        Icon icon;
        Modality modality;
        QPointer<QWidget> parent;
        QString title;
        QString text;
    };
    void Show(Icon icon, Modality modality, QWidget* parent, const QString& title, const QString& text) override;
    // The texts shown over `parent`'s window, in order.
    QStringList TextsOver(const QWidget* parent) const;
    std::vector<Shown> shown;
};
