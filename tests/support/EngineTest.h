#pragma once

#include "ports/BrowserControl.h"
#include "web/engine/WebEngineBrowserFactory.h"
#include "support/Doubles.h"

#include <QByteArray>
#include <QString>
#include <QSize>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

class QTemporaryDir;

// A browser control on the real engine, filling a window of its own that is
// shown before each test; the window goes before the engine after it.
class EngineTest : public ::testing::Test {
protected:
    explicit EngineTest(QSize size = QSize(640, 480)) : m_size(size) {}

    void SetUp() override;
    void TearDown() override;

    // For a suite whose engine writes into the home folder (its profile, the
    // download folder): a home of the test program's own for the suite's
    // time, removed afterwards.
    static void UseOwnHome();
    static void LeaveOwnHome();
    static QString OwnHome();

    RecordingMessages messages;
    std::unique_ptr<WebEngineBrowserFactory> factory;
    std::unique_ptr<QWidget> host;
    BrowserControl* control = nullptr;

private:
    QSize m_size;
    static inline QTemporaryDir* s_home = nullptr;
    static inline QByteArray s_oldHome;
};
