#include "device/DeviceLink.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace zembrik {

std::optional<TDeviceMatch> MatchDeviceId(quint16 vendorId, quint16 productId)
{
    for (int c = 0; c < 3; ++c) {
        if (DeviceIdTable[c].vendorId != vendorId)
            continue;
        for (int m = 0; m < 2; ++m)
            if (productId == DeviceIdTable[c].productId[m] || (c == 1 && productId == kWiiExtraProductId))
                return TDeviceMatch{c, m};
    }
    return std::nullopt;
}

TDeviceLink::TDeviceLink(TJvHidDeviceController *controller, QObject *parent)
    : QObject(parent), controller_(controller), clock_([] {
          return std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now().time_since_epoch())
              .count();
      })
{
    controller_->OnEnumerate = [this](TJvHidDevice *d, int i) { return HIDControllerEnumerate(d, i); };
    controller_->OnDeviceData = [this](TJvHidDevice *d, const TJvHidReport &r) { HIDControllerDeviceData(d, r); };
    controller_->OnArrival = [this](TJvHidDevice *d) { emit Arrival(d); };
    controller_->OnRemoval = [this](TJvHidDevice *d) { emit Removal(d); };
}

TDeviceLink::~TDeviceLink()
{
    for (Waiter *w : waiters_)
        if (w->loop)
            w->loop->quit();
}

bool TDeviceLink::HIDControllerEnumerate(TJvHidDevice *HidDev, int Idx)
{
    // Every offered device gets the deep queue before it is looked at.  On
    // Linux most of them (mice, keyboards) cannot be opened; that is fine.
    HidDev->SetInputBuffers(128);
    HidDev->SetReadBuffers(128);
    try {
        const std::optional<TDeviceMatch> match = MatchDeviceId(HidDev->VendorID(), HidDev->ProductID());
        if (!match)
            return true;
        emit ConsoleFound(match->console);
        DeviceGameMode = match->gameMode;
        emit GameModeFound(match->gameMode);
        CurrentDevice = controller_->ClaimDevice(Idx);
        if (CurrentDevice && !CurrentDevice->HasReadWriteAccess())
            AccessError = CurrentDevice->OpenError().isEmpty()
                              ? QStringLiteral("%1: cannot be opened").arg(CurrentDevice->PnPInfo().DevicePath)
                              : CurrentDevice->OpenError();
        return true;
    } catch (...) {
        CurrentDevice = nullptr;
        return false;
    }
}

void TDeviceLink::HIDControllerDeviceData(TJvHidDevice *HidDev, const TJvHidReport &Report)
{
    if (!CurrentDevice || HidDev != CurrentDevice)
        return;
    ReportArrived = true;
    if (Report.Data && Report.Size > 0)
        std::memcpy(LastReport.data(), Report.Data, std::min<std::size_t>(Report.Size, LastReport.size()));
    // Every report is compared as it is handed over, so a reply followed at
    // once by streamed data is not lost.
    offerReply();
    emit ReportReceived(Report);
}

void TDeviceLink::offerReply()
{
    if (waiters_.empty())
        return;
    const qint64 now = clock_();
    for (Waiter *w : waiters_) {
        if (w->matched || LastReport[5] != w->sequence)
            continue;
        if (now - w->start > kReplyTimeoutMs)
            continue; // too late for this exchange
        w->matched = true;
        w->reply = {LastReport[3], LastReport[4]};
        if (w->loop)
            w->loop->quit();
    }
}

bool TDeviceLink::SendCommand(quint8 code, quint8 arg1, quint8 arg2, quint8 arg3, TCommandReply &reply)
{
    reply = {};
    QPointer<TJvHidDevice> device = CurrentDevice;
    if (!device || !device->PluggedIn())
        return false;
    Q_ASSERT_X(IsKnownCommand(code), "SendCommand", "not a command of the box");
    if (!IsKnownCommand(code))
        return false;
    SequenceNumber = (SequenceNumber + 1) % 256;
    const auto report = BuildCommandReport({code, arg1, arg2, arg3}, static_cast<quint8>(SequenceNumber));
    device->SendFeatureReport(report.data(), static_cast<int>(report.size()));
    if (code == CMD_END_SESSION)
        return true;

    ReportArrived = false;
    Waiter waiter{SequenceNumber, clock_()};
    QEventLoop loop;
    waiter.loop = &loop;
    waiters_.push_back(&waiter);

    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    auto arm = [&] {
        const qint64 elapsed = clock_() - waiter.start;
        if (elapsed > kReplyTimeoutMs) {
            loop.quit();
            return;
        }
        // One past the limit: a reply at exactly 250 ms still counts.
        deadline.start(static_cast<int>(kReplyTimeoutMs - elapsed + 1));
    };
    connect(&deadline, &QTimer::timeout, &loop, arm);
    // A box that goes away mid-exchange ends the wait at once.
    connect(device, &TJvHidDevice::Gone, &loop, &QEventLoop::quit);
    connect(device, &QObject::destroyed, &loop, &QEventLoop::quit);
    arm();
    if (!waiter.matched && deadline.isActive())
        loop.exec();
    waiter.loop = nullptr;
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), &waiter), waiters_.end());
    if (!waiter.matched)
        return false;
    reply = waiter.reply;
    return true;
}

} // namespace zembrik
