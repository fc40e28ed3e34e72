#include "core/word_table.h"

#include <array>
#include <string_view>

namespace word_table {
namespace {

// The line-break behaviour of a byte as the first of a pair, and as the second.
enum After : std::uint8_t { kNeverAfter, kOrdinary, kAffix, kInfix, kHyphen, kEmDash, kExclaim, kBreakAfter, kSpace };
enum Before : std::uint8_t { kNeverBefore, kClosing, kCombining, kGlue, kLetter, kDigit, kOpening, kDashBefore, kAcute };

// Bit b of row a: a break between a byte of After class a and one of Before class b.
constexpr std::array<std::uint16_t, 9> kBreaks{
    0x000,  // kNeverAfter: opening brackets and quotes, no-break space, NUL, lone CR and LF
    0x180,  // kOrdinary: only before a dash or an acute accent
    0x1C0,  // kAffix: currency and percent signs, closing brackets
    0x1E0,  // kInfix: , . : ;
    0x1D8,  // kHyphen: not before a digit
    0x170,  // kEmDash
    0x1F0,  // kExclaim: ! / ? } and the ellipsis
    0x1F8,  // kBreakAfter: tab, |, en dash, soft hyphen
    0x1FC,  // kSpace
};

template <typename Class>
constexpr void set(std::array<Class, 256>& table, std::string_view bytes, Class c)
{
    for (unsigned char b : bytes)
        table[b] = c;
}

struct Table {
    std::array<WordClass, 256> word{};
    std::array<After, 256> after{};
    std::array<Before, 256> before{};

    constexpr Table()
    {
        word.fill(WordClass::Word);
        after.fill(kOrdinary);
        before.fill(kLetter);
        for (unsigned char c : std::string_view("\t\x0B\x0C \xA0"))
            word[c] = WordClass::Blank;
        for (unsigned char c : std::string_view(".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\"))
            word[c] = WordClass::Separator;
        set(after, std::string_view("\0\n\r\"'([{\x82\x84\x8B\x91\x92\x93\x94\x9B\xA0\xA1\xAB\xB4\xBB\xBF", 22), kNeverAfter);
        set(after, "$%)+\\]\x80\x89\xA2\xA3\xA4\xA5\xB0\xB1", kAffix);
        set(after, ",.:;", kInfix);
        set(after, "-", kHyphen);
        set(after, "\x97", kEmDash);
        set(after, "!/?}\x85", kExclaim);
        set(after, "\t|\x96\xAD", kBreakAfter);
        set(after, " ", kSpace);
        set(before, std::string_view("\0\n\r", 3), kNeverBefore);
        set(before, "\x0B\x0C !),./:;?]}", kClosing);
        set(before, "\x01\x02\x03\x04\x05\x06\x07\x08\t\x0E\x0F\x10\x11\x12\x13\x14\x15\x16\x17"
                    "\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\"'-|\x7F\x81\x85\x8B\x8D\x8F\x90\x91\x92\x93"
                    "\x94\x96\x9B\x9D\xAB\xAD\xBB",
            kCombining);
        set(before, "\xA0", kGlue);
        set(before, "0123456789", kDigit);
        set(before, "$%(+[\\{\x80\x82\x84\x89\xA1\xA2\xA3\xA4\xA5\xB0\xB1\xBF", kOpening);
        set(before, "\x97", kDashBefore);
        set(before, "\xB4", kAcute);
    }

};

constexpr Table kTable;

}  // namespace

WordClass ClassOf(std::uint8_t byte)
{
    return kTable.word[byte];
}

bool MayBreakBetween(std::uint8_t before, std::uint8_t after)
{
    return (kBreaks[kTable.after[before]] >> kTable.before[after]) & 1;
}

}  // namespace word_table
