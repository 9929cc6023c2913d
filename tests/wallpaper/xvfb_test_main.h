#pragma once

#include "xvfb_server.h"

#include <QGuiApplication>
#include <QTest>

// A test's main on a private X server: the server comes first (the application connects to it as
// it starts), and the application is closed while the server still runs (a connection the server
// dropped is never freed). Without Xvfb the test runs offscreen and skips what needs it.
template<typename Test>
int runOnXvfb(XvfbServer& server, QSize size, int argc, char* argv[])
{
    if (server.start(size)) {
        qputenv("DISPLAY", server.display());
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("WAYLAND_DISPLAY");
    }
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        Test test;
        result = QTest::qExec(&test, argc, argv);
    }
    server.stop();
    return result;
}
