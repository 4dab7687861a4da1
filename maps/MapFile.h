// Map files: the note maps as an XML store with root "Configuration",
// elements Map%d / Output%d.Note%d holding notes, written within the box's
// geometry.  The older single-map layout (section formMain, keys
// editNote%d%d_Text) is read too.  A save never destroys the previous file:
// the new one replaces it only when written whole.
#pragma once

#include "maps/NoteMaps.h"

#include <QString>

namespace zembrik {

struct TMapLayout {
    int mapCount = 2;
    int outputs = 8;
    int notesPerOutput = 10;
    int currentMap = 0;
};

struct TMapFileResult {
    bool ok = true;
    QString error;    // why a save failed
    QString recovery; // an unreadable file was set aside: where it went
    bool legacy = false;
};

TMapFileResult SaveMapFile(const QString &fileName, const TNoteMaps &maps, const TMapLayout &layout);
TMapFileResult LoadMapFile(const QString &fileName, TNoteMaps &maps, const TMapLayout &layout);

} // namespace zembrik
