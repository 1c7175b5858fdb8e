#include "support/EngineTest.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

void EngineTest::SetUp()
{
    factory = std::make_unique<WebEngineBrowserFactory>(messages);
    host = std::make_unique<QWidget>();
    host->resize(m_size);
    control = factory->Create(host.get());
    control->widget()->setGeometry(QRect(QPoint(), m_size));
    host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
}

void EngineTest::TearDown()
{
    host.reset();
    factory.reset();
}

void EngineTest::UseOwnHome()
{
    s_home = new QTemporaryDir;
    s_oldHome = qgetenv("HOME");
    qputenv("HOME", s_home->path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
}

void EngineTest::LeaveOwnHome()
{
    qputenv("HOME", s_oldHome);
    // The engine may still be finishing writes into its profile there; try a
    // few times rather than race it.
    s_home->setAutoRemove(false);
    QDir home(s_home->path());
    for (int attempt = 0; attempt < 40 && !home.removeRecursively(); ++attempt)
        QTest::qWait(50);
    delete s_home;
    s_home = nullptr;
}

QString EngineTest::OwnHome()
{
    return s_home ? s_home->path() : QString();
}
