#pragma once

#include <QString>

#include <memory>

class QStringDecoder;

// Turns the bytes of a Windows or Macintosh code page into text. Single-byte code pages use our
// own tables (all 256 bytes, so Windows-1252's 0x80-0x9F give the euro sign, curly quotes and
// the French ligatures); double-byte ones (Japanese, Chinese, Korean) use the converters the
// platform offers, and fall back to Windows-1252 when it offers none.
class CodePage
{
public:
    explicit CodePage(int number);
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;

    int number() const { return m_number; }
    // True when characters may take more than one byte: the bytes must then be decoded together.
    bool isMultiByte() const { return m_decoder != nullptr; }
    // Appends the text of the bytes to out.
    void decodeAppend(const char *data, qsizetype size, QString &out) const;

    // The code page that a font's \fcharset announces; 0 when the font says nothing useful
    // (the default character set), so the document's code page applies.
    static int fromCharset(int charset);
    // The Windows-1252 byte for a character, or -1 when that code page has none.
    static int toWindows1252(char32_t character);
    // Code page 42 (Symbol and Wingdings fonts): bullets map to their Unicode forms, the rest to
    // the private-use area the way word processors write them (U+F000 + byte).
    static char16_t symbolCharacter(uchar byte);

private:
    int m_number = 1252;
    const char16_t *m_table = nullptr; // upper half, bytes 0x80-0xFF
    std::unique_ptr<QStringDecoder> m_decoder;
};
