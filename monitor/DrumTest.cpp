#include "monitor/DrumTest.h"

#include <cstring>

namespace zembrik {

namespace {

constexpr TLaneColour kRed{255, 0, 0}, kYellow{255, 255, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kOrange{255, 100, 0},
    kPurple{128, 0, 128};

struct TLane {
    bool TDrumPadStates::*flag;
    TLaneColour colour;
    bool cymbalDot; // the Rock Band cymbal lanes have a red centre pixel
};

// Lanes left to right, 32 pixels each.
constexpr TLane kRockBandLanes[] = {
    {&TDrumPadStates::RedPad, kRed, false},     {&TDrumPadStates::YellowPad, kYellow, false},
    {&TDrumPadStates::BluePad, kBlue, false},   {&TDrumPadStates::GreenPad, kGreen, false},
    {&TDrumPadStates::Kick, kOrange, false},    {&TDrumPadStates::YellowCymbal, kYellow, true},
    {&TDrumPadStates::BlueCymbal, kBlue, true}, {&TDrumPadStates::GreenCymbal, kGreen, true},
};
constexpr TLane kGuitarHeroLanes[] = {
    {&TDrumPadStates::RedPad, kRed, false},     {&TDrumPadStates::YellowCymbal, kYellow, false},
    {&TDrumPadStates::BluePad, kBlue, false},   {&TDrumPadStates::OrangeCymbal, kOrange, false},
    {&TDrumPadStates::GreenPad, kGreen, false}, {&TDrumPadStates::Kick, kPurple, false},
};

void paint(uchar *line, int x, TLaneColour c)
{
    line[3 * x] = c.r;
    line[3 * x + 1] = c.g;
    line[3 * x + 2] = c.b;
}

} // namespace

const uchar *TWaterfall::Line(int y) const
{
    if (!Exists())
        return nullptr;
    const int ring = (top_ + y) % kHeight;
    return reinterpret_cast<const uchar *>(pixels_.constData()) + ring * kBytesPerLine;
}

void TWaterfall::Advance(const TDrumPadStates &pads, bool guitarHero)
{
    if (!Exists())
        pixels_ = QByteArray(kHeight * kBytesPerLine, '\0'); // black
    // The old top line becomes the new bottom line.
    uchar *line = reinterpret_cast<uchar *>(pixels_.data()) + top_ * kBytesPerLine;
    top_ = (top_ + 1) % kHeight;
    ++lines_;
    std::memset(line, 0, kBytesPerLine);
    auto draw = [&](const auto &lanes) {
        int x0 = 0;
        for (const TLane &lane : lanes) {
            if (pads.*lane.flag) {
                for (int x = x0; x < x0 + kLaneWidth; ++x)
                    paint(line, x, lane.colour);
                if (lane.cymbalDot)
                    paint(line, x0 + kLaneWidth / 2, kRed);
            }
            x0 += kLaneWidth;
        }
    };
    if (guitarHero)
        draw(kGuitarHeroLanes);
    else
        draw(kRockBandLanes);
}

} // namespace zembrik
