// Fuzz target: the RTF tokenizer alone, at the speed of its own loop. On any bytes each token
// lies within the input and takes at least one byte, the pass ends exactly at the end, control
// words are letters, and skipping a group stops where reading its tokens one by one does.
#include "richtext/RtfTokenizer.h"

#include <cstdint>
#include <cstdlib>

namespace {

using Type = RtfTokenizer::Type;

// Groups checked against skipGroup per input: each check reads to the group's end, so a few
// keep the target linear in practice.
constexpr int kGroupsCompared = 16;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void checkToken(const RtfTokenizer::Token &token, const char *begin, const char *end)
{
    switch (token.type) {
    case Type::Text:
    case Type::ControlWord:
    case Type::Binary:
        if (token.size < 0 || (token.size > 0 && (token.data < begin || token.data + token.size > end)))
            std::abort();
        break;
    default:
        break;
    }
    if (token.type == Type::ControlWord) {
        if (token.size == 0 || token.nameTooLong != (token.size > RtfTokenizer::kMaxWordLength))
            std::abort();
        for (const char c : token.text()) {
            if (!isLetter(c))
                std::abort();
        }
    }
    if (token.type == Type::Text) {
        for (const char c : token.text()) {
            if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
                std::abort(); // those bytes are structure, never text
        }
    }
}

// Reads the tokens of the group just opened up to its closing brace: where the tokenizer stands
// then, or -1 when the input ends first.
qsizetype endOfGroupByTokens(RtfTokenizer tokenizer)
{
    int depth = 1;
    for (;;) {
        const RtfTokenizer::Token token = tokenizer.next();
        if (token.type == Type::End)
            return -1;
        if (token.type == Type::GroupStart)
            ++depth;
        else if (token.type == Type::GroupEnd && --depth == 0)
            return tokenizer.position();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *begin = reinterpret_cast<const char *>(data);
    const char *end = begin + size;
    RtfTokenizer tokenizer(QByteArrayView(begin, qsizetype(size)));
    int groups = 0;
    size_t tokens = 0;
    for (;;) {
        const qsizetype before = tokenizer.position();
        const RtfTokenizer::Token token = tokenizer.next();
        if (token.type == Type::End) {
            if (tokenizer.position() != tokenizer.size())
                std::abort(); // the end is the end of the input, never before
            break;
        }
        if (tokenizer.position() <= before || tokenizer.position() > tokenizer.size() || ++tokens > size)
            std::abort(); // every token moves on, so the pass always ends
        checkToken(token, begin, end);
        if (token.type == Type::GroupStart && groups++ < kGroupsCompared) {
            RtfTokenizer skipping = tokenizer;
            const bool closed = skipping.skipGroup();
            const qsizetype byTokens = endOfGroupByTokens(tokenizer);
            if (closed != (byTokens >= 0) || (closed && skipping.position() != byTokens))
                std::abort();
            if (!closed && skipping.position() != skipping.size())
                std::abort();
        }
    }
    return 0;
}
