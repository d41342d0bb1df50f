#pragma once

#include "richtext/Twips.h"

#include <QTextFormat>

// What the RTF reader and writer agree on beyond Qt's own formats.
namespace RichText {

// Lengths in a QTextDocument are device-independent pixels at 96 per inch (see Twips), under
// the names the reader and the writer use.
inline constexpr double kTwipsPerPixel = Twips::kPerDocumentPixel;
inline constexpr auto pixelsToTwips = Twips::fromDocumentPixels;
inline constexpr auto twipsToPixels = Twips::toDocumentPixels;

// Image formats of pictures read from RTF: the file's bytes and picture kind are kept so that
// writing the document gives them back unchanged, whether Qt can draw them (PNG, JPEG) or the
// document shows a placeholder (metafiles, Macintosh pictures).
constexpr int OriginalPictureData = QTextFormat::UserProperty + 0x5200;   // QByteArray
constexpr int OriginalPictureKind = QTextFormat::UserProperty + 0x5201;   // QByteArray, e.g. "wmetafile8"
constexpr int OriginalPictureWidth = QTextFormat::UserProperty + 0x5202;  // \picw
constexpr int OriginalPictureHeight = QTextFormat::UserProperty + 0x5203; // \pich
// Character formats of a field result other than a hyperlink: the field's instruction.
constexpr int FieldInstruction = QTextFormat::UserProperty + 0x5204; // QString

} // namespace RichText
