#include "tests/WindowRig.h"
using namespace zembrik;
class MonitorWindowTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(MonitorWindowTest)
#include "test_monitor_window.moc"
