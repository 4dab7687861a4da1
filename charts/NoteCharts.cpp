#include "charts/NoteCharts.h"

namespace zembrik {

namespace {

QList<TChart> makeCharts()
{
    QList<TChart> charts;
    charts.append({QStringLiteral("tabDrum0"),
                   QStringLiteral("Generic Drums"),
                   QStringLiteral("listNotes0"),
                   QStringLiteral("Typical Drum Notes*"),
                   {{38, QStringLiteral("Snare")},         {40, QStringLiteral("Snare Rim")},
                    {45, QStringLiteral("Low Tom")},       {50, QStringLiteral("High Tom")},
                    {41, QStringLiteral("Low Floor Tom")}, {43, QStringLiteral("High Floor Tom")},
                    {47, QStringLiteral("Low-Mid Tom")},   {48, QStringLiteral("High-Mid Tom")},
                    {42, QStringLiteral("Closed Hi-Hat")}, {22, QStringLiteral("Closed Hi-Hat Rim")},
                    {46, QStringLiteral("Open Hi-Hat")},   {26, QStringLiteral("Open Hi-Hat Rim")},
                    {44, QStringLiteral("Hi-Hat Pedal")},  {36, QStringLiteral("Kick")},
                    {49, QStringLiteral("Crash 1")},       {55, QStringLiteral("Crash 1 Rim")},
                    {57, QStringLiteral("Crash 2")},       {52, QStringLiteral("Crash 2 Rim")},
                    {51, QStringLiteral("Ride 1")},        {53, QStringLiteral("Ride 1 Rim")},
                    {59, QStringLiteral("Ride 2")}},
                   {QStringLiteral("<I>* may vary with drum model</I>")}});
    charts.append({QStringLiteral("tabDrum1"),
                   QStringLiteral("Yamaha DTXplorer"),
                   QStringLiteral("listNotes1"),
                   QStringLiteral("Yamaha DTXplorer"),
                   {{31, QStringLiteral("Snare")},
                    {34, QStringLiteral("Snare (open-rim)")},
                    {37, QStringLiteral("Snare (close-rim)")},
                    {43, QStringLiteral("Low Tom")},
                    {47, QStringLiteral("Mid Tom")},
                    {48, QStringLiteral("Hi Tom")},
                    {49, QStringLiteral("Crash")},
                    {57, QStringLiteral("Crash Rim")},
                    {51, QStringLiteral("Ride")},
                    {52, QStringLiteral("Ride Rim")},
                    {46, QStringLiteral("Hi-Hat Open")},
                    {42, QStringLiteral("Hi-Hat Closed")},
                    {44, QStringLiteral("Hi-Hat Pedal Close")},
                    {85, QStringLiteral("Hi-Hat Pedal Splash")},
                    {33, QStringLiteral("Kick")},
                    {55, QStringLiteral("Option")}},
                   {}});
    charts.append({QStringLiteral("tabDrum2"),
                   QStringLiteral("Yamaha DD65"),
                   QStringLiteral("listNotes2"),
                   QStringLiteral("Yamaha DD65 (Kit 1)"),
                   {{38, QStringLiteral("Pad 1 (snare)")},
                    {50, QStringLiteral("Pad 2 (tom)")},
                    {47, QStringLiteral("Pad 3 (tom)")},
                    {43, QStringLiteral("Pad 4 (tom)")},
                    {49, QStringLiteral("Small Pad 1 (crash)")},
                    {46, QStringLiteral("Small Pad 2 (hi-hat) Open")},
                    {42, QStringLiteral("Small Pad 2 (hi-hat) Closed")},
                    {59, QStringLiteral("Small Pad 3 (ride)")},
                    {55, QStringLiteral("Small Pad 4 (Splash)")},
                    {36, QStringLiteral("Kick")},
                    {44, QStringLiteral("Pedal 2 Close")}},
                   {}});
    charts.append({QStringLiteral("tabDrum3"),
                   QStringLiteral("Roland TD-6"),
                   QStringLiteral("listNotes3"),
                   QStringLiteral("Roland TD-6"),
                   {{48, QStringLiteral("Tom 1")},
                    {50, QStringLiteral("Tom 1 Rim")},
                    {45, QStringLiteral("Tom 2")},
                    {41, QStringLiteral("Tom 3")},
                    {31, QStringLiteral("Tom 4")},
                    {38, QStringLiteral("Snare")},
                    {40, QStringLiteral("Snare Rim")},
                    {51, QStringLiteral("Ride ")}, // with its trailing blank
                    {53, QStringLiteral("Ride Rim")},
                    {49, QStringLiteral("Crash 1")},
                    {55, QStringLiteral("Crash 1 Rim")},
                    {57, QStringLiteral("Crash 2")},
                    {52, QStringLiteral("Crash 2 Rim")},
                    {46, QStringLiteral("Hi-Hat Open")},
                    {26, QStringLiteral("Hi-Hat Open Rim")},
                    {42, QStringLiteral("Hi-Hat Closed")},
                    {22, QStringLiteral("Hi-Hat Closed Rim")},
                    {44, QStringLiteral("Hi-Hat Pedal")},
                    {36, QStringLiteral("Kick")}},
                   {}});
    charts.append({QStringLiteral("tabDrum5"),
                   QStringLiteral("Roland HD-1"),
                   QStringLiteral("JvHTListBox1"),
                   QStringLiteral("Roland HD-1"),
                   {{48, QStringLiteral("Tom 1")},
                    {45, QStringLiteral("Tom 2")},
                    {43, QStringLiteral("Tom 3")},
                    {36, QStringLiteral("Kick")},
                    {38, QStringLiteral("Snare")},
                    {49, QStringLiteral("Crash")},
                    {51, QStringLiteral("Ride ")}, // with its trailing blank
                    {46, QStringLiteral("Hi-Hat Open")},
                    {42, QStringLiteral("Hi-Hat Closed")},
                    {44, QStringLiteral("Hi-Hat Pedal")}},
                   {}});
    charts.append({QStringLiteral("tabTD20"),
                   QStringLiteral("Roland TD-20"),
                   QStringLiteral("listNotesTD20"),
                   QStringLiteral("Roland TD-20"),
                   {{22, QStringLiteral("Closed HH (rim)")}, {26, QStringLiteral("Open HH (rim)")},
                    {27, QStringLiteral("Aux 1")},           {28, QStringLiteral("Aux 1 (rim)")},
                    {29, QStringLiteral("Aux 2")},           {30, QStringLiteral("Aux 2 (rim)")},
                    {31, QStringLiteral("Aux 3")},           {32, QStringLiteral("Aux 3 (rim)")},
                    {33, QStringLiteral("Aux 4")},           {34, QStringLiteral("Aux 4 (rim)")},
                    {35, QStringLiteral("Kick (rim)")},      {36, QStringLiteral("Kick")},
                    {38, QStringLiteral("Snare")},           {39, QStringLiteral("Tom 4 (rim)")},
                    {40, QStringLiteral("Share (rim)")}, // sic, as the kit's chart has it
                    {41, QStringLiteral("Tom 4 (rim)")},     {42, QStringLiteral("Closed HH")},
                    {43, QStringLiteral("Tom 3")},           {44, QStringLiteral("HH Pedal")},
                    {45, QStringLiteral("Tom 2")},           {46, QStringLiteral("Open HH")},
                    {47, QStringLiteral("Tom 2 (rim)")},     {48, QStringLiteral("Tom 1")},
                    {49, QStringLiteral("Crash 1")},         {50, QStringLiteral("Tom 1 (rim)")},
                    {51, QStringLiteral("Ride (bow)")},      {52, QStringLiteral("Crash 2 (rim)")},
                    {53, QStringLiteral("Ride (bell)")},     {55, QStringLiteral("Crash 1 (rim)")},
                    {57, QStringLiteral("Crash 2")},         {58, QStringLiteral("Tom 3 (rim)")},
                    {59, QStringLiteral("Ride-Edge (rim)")}},
                   {}});
    charts.append({QStringLiteral("tabDrum4"),
                   QStringLiteral("Custom"),
                   QStringLiteral("listNotes4"),
                   QStringLiteral("Custom Chart"),
                   {},
                   {}});
    return charts;
}

} // namespace

const QList<TChart> &NoteCharts()
{
    static const QList<TChart> charts = makeCharts();
    return charts;
}

QString TitleItem(const QString &title)
{
    return QStringLiteral("<U><B>%1</B></U>").arg(title);
}

QString EntryItem(int note, const QString &description)
{
    return QStringLiteral("<FONT COLOR=clBLUE>%1</FONT> ").arg(note) + description;
}

QStringList ChartItems(const TChart &chart)
{
    QStringList items{TitleItem(chart.title)};
    for (const TChartEntry &e : chart.entries)
        items.append(EntryItem(e.note, e.description));
    items.append(chart.footer);
    return items;
}

QStringList DefaultCustomChart()
{
    return ChartItems(NoteCharts().at(CustomChartIndex));
}

int NoteOfItem(const QString &item)
{
    const qsizetype open = item.indexOf(QLatin1Char('>'));
    if (open < 0)
        return -1;
    const qsizetype close = item.indexOf(QLatin1Char('<'), open + 1);
    const QString text = item.mid(open + 1, close < 0 ? -1 : close - open - 1);
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : -1;
}

int FindItemForNote(const QStringList &items, int note)
{
    const QString needle = QStringLiteral(">%1<").arg(note);
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].contains(needle))
            return int(i);
    return -1;
}

} // namespace zembrik
