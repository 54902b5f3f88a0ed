#pragma once
// The one QApplication of a Qt test binary, made on first use (gtest_main owns main).
class QApplication;
QApplication& testApp();
