// Tagged text: labels and list items of the program carry a few HTML-like
// tags (<B>, <I>, <U>, <FONT COLOR=clBLUE>, their end tags, and <BR>), in
// any letter case.  TaggedToRichText turns such text into the rich text Qt
// renders; everything else in the text is shown as written.  QtCore only.
#pragma once

#include <QString>

namespace zembrik {

// Without colours (for a selected item, drawn in the highlight's text
// colour), FONT COLOR tags give no colour.
QString TaggedToRichText(const QString &tagged, bool colours = true);

} // namespace zembrik
