#include "shell/SettingsFile.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace zembrik {

namespace {

const QString kForm = QStringLiteral("formMain");
const QString kItems = QStringLiteral("formMain\\listNotes4_Items");
// A chart has at most one entry per note: a count beyond this comes from
// an edited file and is not followed.
constexpr int kMaxChartItems = 1024;
constexpr int kChartPages = 7;

QString suffixed(const QString &key, const QSize &desktop)
{
    return key + QStringLiteral("(%1x%2)").arg(desktop.width()).arg(desktop.height());
}

QString fourNumbers(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// The n-th number of "a,b,c,d", or the default.
int numberAt(const QString &text, int n, int defaultValue)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (n >= parts.size())
        return defaultValue;
    bool ok = false;
    const int v = parts[n].trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}

} // namespace

QString TSettingsFile::FileName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("MidiZembrik.xml"));
}

TSettingsFile::TSettingsFile(const QString &fileName) : store_(QStringLiteral("Configuration"), fileName)
{
    store_.Storage().SetAutoFlush(true);
    if (!store_.SetAsidePath().isEmpty() || !store_.RecoveryMessage().isEmpty()) {
        recovery_ = store_.RecoveryMessage();
        if (recovery_.isEmpty())
            recovery_ = QStringLiteral("The settings file %1 could not be read and has been moved to the trash "
                                       "(%2). The program starts with its default settings.")
                            .arg(QDir::toNativeSeparators(fileName), QDir::toNativeSeparators(store_.SetAsidePath()));
    }
}

TRestoredSettings TSettingsFile::RestoreSettings(const TWindowPlacement &current, const TScreenFacts &screen)
{
    TRestoredSettings r;
    restored_ = true;
    store_.ReadInteger(kForm, QStringLiteral("FormVersion"), 0); // any version is accepted

    // Window position: the keys of this desktop size, else the last ones.
    auto positionKey = [&](const QString &key) {
        const QString own = suffixed(key, screen.Desktop);
        return store_.ValueExists(kForm, own) ? own : key;
    };
    const QString minMaxKey = positionKey(QStringLiteral("MinMaxPos"));
    const QString normKey = positionKey(QStringLiteral("NormPos"));
    const bool haveMinMax = store_.ValueExists(kForm, minMaxKey);
    const bool haveNorm = store_.ValueExists(kForm, normKey);
    int left = current.Normal.left();
    int top = current.Normal.top();
    if (haveNorm) {
        const QString norm = store_.ReadString(kForm, normKey, {});
        left = numberAt(norm, 0, left);
        top = numberAt(norm, 1, top);
    }
    // Size and state are never restored: the window keeps its own.  So the
    // stored Flags and the minimized and maximized positions are not read
    // back: Qt places no minimized or maximized window, and the state bits
    // would only restore a state.
    const int right = left + current.Normal.width();
    const int bottom = top + current.Normal.height();
    const int ppi = store_.ReadInteger(kForm, QStringLiteral("PixelsPerInch"), screen.PixelsPerInch);
    const bool onMonitors =
        screen.OnMonitor && screen.OnMonitor(QPoint(left, top)) && screen.OnMonitor(QPoint(right - 1, bottom - 1));
    if ((haveNorm || haveMinMax) && ppi == screen.PixelsPerInch && left < right && onMonitors)
        r.Position = QPoint(left, top);

    // Stored properties, each only when its key exists and holds a value
    // the window can take.
    if (store_.ValueExists(kForm, QStringLiteral("pageNoteCharts_Tag"))) {
        const int page = store_.ReadInteger(kForm, QStringLiteral("pageNoteCharts_Tag"), 0);
        if (page >= 0 && page < kChartPages)
            r.ChartPage = page;
    }
    if (store_.ValueExists(kForm, QStringLiteral("listNotes4_Items"))) {
        const int count = std::min(store_.ReadInteger(kItems, QStringLiteral("Count"), 0), kMaxChartItems);
        QStringList items;
        for (int i = 0; i < count; ++i)
            items.append(store_.ReadString(kItems, QStringLiteral("Item%1").arg(i), {}));
        if (!items.isEmpty()) // a chart without items keeps the default
            r.CustomChart = items;
    }
    if (store_.ValueExists(kForm, QStringLiteral("grpInfo_Tag"))) {
        const int model = store_.ReadInteger(kForm, QStringLiteral("grpInfo_Tag"), 0);
        if (model == 0 || model == 1)
            r.Model = model;
    }
    return r;
}

void TSettingsFile::SaveSettings(const TWindowPlacement &placement, const TScreenFacts &screen, int chartPage,
                                 const QStringList &customChart, int model)
{
    XmlFileStorage &engine = store_.Storage();
    engine.BeginUpdate(); // one write of the file, at the end
    store_.WriteInteger(kForm, QStringLiteral("FormVersion"), 0);
    if (restored_) {
        store_.WriteInteger(kForm, QStringLiteral("Flags"), placement.Flags);
        store_.WriteInteger(kForm, QStringLiteral("PixelsPerInch"), screen.PixelsPerInch);
        const QString minMax = fourNumbers(placement.MinPosition.x(), placement.MinPosition.y(),
                                           placement.MaxPosition.x(), placement.MaxPosition.y());
        const QRect &n = placement.Normal;
        const QString norm = fourNumbers(n.left(), n.top(), n.left() + n.width(), n.top() + n.height());
        store_.WriteString(kForm, suffixed(QStringLiteral("MinMaxPos"), screen.Desktop), minMax);
        store_.WriteString(kForm, QStringLiteral("MinMaxPos"), minMax);
        store_.WriteString(kForm, suffixed(QStringLiteral("NormPos"), screen.Desktop), norm);
        store_.WriteString(kForm, QStringLiteral("NormPos"), norm);

        store_.WriteInteger(kForm, QStringLiteral("pageNoteCharts_Tag"), chartPage);
        const int n0 = int(customChart.size());
        const int oldCount = std::min(store_.ReadInteger(kItems, QStringLiteral("Count"), 0), n0 + kMaxChartItems);
        for (int i = 0; i < n0; ++i)
            store_.WriteString(kItems, QStringLiteral("Item%1").arg(i), customChart[i]);
        // Items left from a longer list go.
        for (int i = n0; i < oldCount || store_.ValueExists(kItems, QStringLiteral("Item%1").arg(i)); ++i)
            store_.DeleteKey(kItems, QStringLiteral("Item%1").arg(i));
        store_.WriteInteger(kItems, QStringLiteral("Count"), n0);
        store_.WriteInteger(kForm, QStringLiteral("grpInfo_Tag"), model);
    }
    engine.EndUpdate();
}

} // namespace zembrik
