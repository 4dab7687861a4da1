// The "Drum Test" page: the Rock Band and Guitar Hero drum pictures whose
// shapes light and count hits, the waterfall of recent hits with its lane
// legends, the active map choice and "Reset hit counters".
//
// The main window creates it on its tabTest page, routes every report to
// ProcessReport while the page is shown, and switches the pictures and
// legends (public members) with the game-mode view.  UI thread only.
#pragma once

#include "Modules/GeneralLib.h"
#include "monitor/DrumTest.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;

namespace zembrik {

class TImage;
class TRadioGroup;
class TShape;

// Shows the waterfall's bitmap.  Refresh() asks for a repaint at the
// display's rate at most, however fast reports arrive.
class TWaterfallView : public QWidget {
    Q_OBJECT
public:
    TWaterfallView(const TWaterfall &waterfall, QWidget *parent = nullptr);
    void Refresh();
    // The bitmap as shown (null until the waterfall exists).
    const QImage &Bitmap() const { return bitmap_; }
    int Repaints() const { return repaints_; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void copyBitmap();
    const TWaterfall &waterfall_;
    QImage bitmap_;
    QTimer *frame_;
    int repaints_ = 0;
};

class TDrumTestPage : public QWidget {
    Q_OBJECT
public:
    explicit TDrumTestPage(QWidget *parent = nullptr);

    // One input report: 64 data bytes, decoded for the viewed game mode
    // (0 Rock Band, anything else Guitar Hero).
    void ProcessReport(const quint8 *data, int viewGameMode);
    void ShowDrumPads(const quint8 *data, int viewGameMode);
    void UpdateWaterfall(const quint8 *data, int viewGameMode);
    void ShowPadHit(TShape *shape, bool pressed);
    void ShowCymbalHit(TShape *shape, bool pressed);
    void UpdateHitLabel(QWidget *control);
    int HitCount(const QWidget *control) const;
    // The page is shown: the map choice, when offered, shows the map in use.
    void tabTestShow(bool multiMap, int currentMap);
    const TWaterfall &Waterfall() const { return waterfall_; }

    QFrame *pnlDrumsRB = nullptr;
    QFrame *pnlDrumsGH = nullptr;
    TWaterfallView *imgWaterfall = nullptr;
    TImage *imgLanesRB = nullptr;
    TImage *imgLanesGH = nullptr;
    QCheckBox *chkEnableWaterfall = nullptr;
    TRadioGroup *rgrpMap = nullptr;
    QPushButton *btnResetHits = nullptr;
    QLabel *lblGameModeWarn = nullptr;

signals:
    // The user chose "Map 1" (0) or "Map 2" (1).
    void MapChosen(int map);

public slots:
    void btnResetHitsClick();

private:
    struct TLamp {
        TShape *shape;
        QColor lit;
        bool TDrumPadStates::*litBy;
        bool cymbalButton;
        TPadLamp state;
    };
    TLamp *lamp(const QWidget *shape);
    const TLamp *lamp(const QWidget *shape) const;
    void show(TShape *shape, bool pressed);

    std::vector<TLamp> lamps_;
    TWaterfall waterfall_;
};

} // namespace zembrik
