#pragma once

#include <QTextFormat>

// What the RTF reader and writer agree on beyond Qt's own formats.
namespace RichText {

// Lengths in a QTextDocument are device-independent pixels at 96 per inch: 15 twips each.
constexpr double kTwipsPerPixel = 15.0;
inline int pixelsToTwips(double pixels) { return int(pixels * kTwipsPerPixel + (pixels < 0 ? -0.5 : 0.5)); }
inline double twipsToPixels(double twips) { return twips / kTwipsPerPixel; }

// Image formats of pictures read from RTF: the file's bytes and picture kind are kept so that
// writing the document gives them back unchanged, whether Qt can draw them (PNG, JPEG) or the
// document shows a placeholder (metafiles, Macintosh pictures).
constexpr int OriginalPictureData = QTextFormat::UserProperty + 0x5200;  // QByteArray
constexpr int OriginalPictureKind = QTextFormat::UserProperty + 0x5201;  // QByteArray, e.g. "wmetafile8"
constexpr int OriginalPictureWidth = QTextFormat::UserProperty + 0x5202; // \picw
constexpr int OriginalPictureHeight = QTextFormat::UserProperty + 0x5203; // \pich
// Character formats of a field result other than a hyperlink: the field's instruction.
constexpr int FieldInstruction = QTextFormat::UserProperty + 0x5204; // QString

} // namespace RichText
