#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

namespace WindowIcon {
// The program's icon, for every window: the icon theme's when the program is
// installed where the desktop looks, else the icon tree that lies beside the
// program directory (in the build tree, or in an install under any prefix).
QIcon Load(const QString& programDir);

// Gives the application its icon just before the first window that the window
// manager manages is shown. Looking the icon up in the theme costs start-up
// some 10 ms, and the splash window (not managed, so it shows no icon) is up
// sooner without it.
class SetOnFirstManagedWindow final : public QObject {
    Q_OBJECT
public:
    explicit SetOnFirstManagedWindow(QString programDir, QObject* parent = nullptr);
    ~SetOnFirstManagedWindow() override;

    bool done() const { return m_done; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_programDir;
    bool m_done = false;
};
}  // namespace WindowIcon
