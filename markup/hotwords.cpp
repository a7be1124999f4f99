// The hotword table and its two ends: reading a hotword command's caption, chances, answers
// and targets into the entry the command fills (while the page is built, from RunCommand),
// and activating an entry when its control is used (from the shell's command handling).
#include "markup/hotwords.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "book/tables.h"
#include "book/variables.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/platform.h"
#include "shell/navigation.h"

namespace markup {

HotwordEntry HotwordTable[HotwordCapacity];
int16_t HotwordCount = 0;
char CaptionBuffer[HotwordTextSize];
char AnswerBuffer[HotwordTextSize];

namespace {

// Takes the writes of a hotword command once the table is full; never read.
HotwordEntry SpareHotword;
// The generator is seeded at the first draw of a run and never again.
bool RandomSeeded = false;

bool TableFull() { return HotwordCount < 0 || HotwordCount >= HotwordCapacity; }

// Copies the command's characters up to the next stop character (or its end) into out and
// moves past the stop character; returns the length copied.
int ReadUntil(char stop, char* out) {
    int length = 0;
    for (char c = CommandChar(); c != 0 && c != stop; c = CommandChar()) {
        if (length < HotwordTextSize - 1) out[length++] = c;
        ++CommandPosition;
    }
    out[length] = 0;
    SkipChar(stop);
    return length;
}

// Reads an answer up to its ")" into field, keeping its first 19 characters; returns the
// kept length and notes in tooLong when characters were dropped.
int ReadAnswer(char (&field)[AnswerSize], bool& tooLong) {
    int length = ReadUntil(')', AnswerBuffer);
    if (length > AnswerSize - 1) {
        tooLong = true;
        length = AnswerSize - 1;
    }
    std::memcpy(field, AnswerBuffer, static_cast<size_t>(length));
    field[length] = 0;
    return length;
}

// Makes the button that shows variable v's current value: its text, its number as " %d",
// or its picture. A variable with nothing to show (no list, another kind) makes none.
int16_t VariableButton(int v) {
    switch (book::KindOf(v)) {
    case book::TextChoice:
        if (const char* text = book::CurrentText(v)) return page::AddTextButton(text);
        return 0;
    case book::NumberValue: {
        char caption[16];
        std::snprintf(caption, sizeof caption, " %d", static_cast<int>(book::VariableValue(v)));
        return page::AddTextButton(caption);
    }
    case book::PictureChoice:
        return page::AddPictureButton(book::CurrentPicture(v));
    default:
        return 0;
    }
}

// Reads an optional further chance "(c) t" of a d or L command: returns previous + c cut
// to 8 bits and stores t, or returns 0 (a chance that never applies) when there is none.
int8_t ReadFurtherChance(int32_t previous, int16_t& target) {
    target = 0;
    if (CommandChar() != '(') return 0;
    ++CommandPosition;
    int8_t chance = static_cast<int8_t>(previous + ParseNumber());
    SkipChar(')');
    SkipChar(' ');
    target = ParseNumber();
    SkipChar(' ');
    return chance;
}

// Reads an optional further answer "(answer) t" of an S command into field and target.
void ReadFurtherAnswer(char (&field)[AnswerSize], int16_t& target, int& longest, bool& tooLong) {
    field[0] = 0;
    target = 0;
    if (CommandChar() != '(') return;
    ++CommandPosition;
    longest = std::max(longest, ReadAnswer(field, tooLong));
    SkipChar(')');
    SkipChar(' ');
    target = ParseNumber();
    SkipChar(' ');
}

// The target an answer hotword leads to for the typed text.
int16_t AnswerTarget(const HotwordEntry& entry, const char* typed) {
    if (typed == nullptr || CompareLoosely(typed, " ") == 0) return entry.elseTarget;
    if (CompareLoosely(entry.answer1, typed) == 0) return entry.target;
    if (CompareLoosely(entry.answer2, typed) == 0) return entry.target2;
    if (CompareLoosely(entry.answer3, typed) == 0) return entry.target3;
    return entry.elseTarget;
}

// The target a percentage draw leads to: each chance is the running total of the chances
// before it, and an absent chance (0) never applies.
int16_t DrawTarget(const HotwordEntry& entry) {
    int32_t roll = RandomNumber() % 100 + 1;
    if (roll <= entry.value) return entry.target;
    if (roll <= entry.chance2) return entry.target2;
    if (roll <= entry.chance3) return entry.target3;
    return entry.elseTarget;
}

}  // namespace

HotwordEntry& PendingHotword() { return TableFull() ? SpareHotword : HotwordTable[HotwordCount]; }

void ParseHotwordCaption(bool quoted) {
    HotwordEntry& entry = PendingHotword();
    int16_t id = 0;
    if (quoted) {
        ReadUntil('"', CaptionBuffer);
        if (!TableFull()) id = page::AddTextButton(CaptionBuffer);
    } else if (CommandChar() == '$' || CommandChar() == '%') {
        bool picture = CommandChar() == '$';
        ++CommandPosition;
        int16_t n = ParseNumber();
        if (!TableFull()) id = picture ? page::AddPictureButton(n) : VariableButton(n);
    }
    entry.controlId = id;
    SkipChar(' ');
    entry.target = ParseNumber();
}

void ParseChanceHotword() {
    HotwordEntry& entry = PendingHotword();
    ReadUntil('"', CaptionBuffer);
    entry.controlId = TableFull() ? 0 : page::AddTextButton(CaptionBuffer);
    SkipPast('(');
    entry.value = static_cast<int8_t>(ParseNumber());
    SkipChar(')');
    SkipChar(' ');
    entry.target = ParseNumber();
    SkipChar(' ');
    entry.chance2 = ReadFurtherChance(entry.value, entry.target2);
    entry.chance3 = ReadFurtherChance(entry.chance2, entry.target3);
    entry.elseTarget = ParseNumber();
}

void ParseAnswerHotword() {
    HotwordEntry& entry = PendingHotword();
    bool tooLong = false;
    int longest = ReadAnswer(entry.answer1, tooLong);
    SkipChar(')');
    SkipChar(' ');
    entry.target = ParseNumber();
    SkipChar(' ');
    ReadFurtherAnswer(entry.answer2, entry.target2, longest, tooLong);
    ReadFurtherAnswer(entry.answer3, entry.target3, longest, tooLong);
    entry.elseTarget = ParseNumber();
    if (tooLong) page::ShowErrorMessage("Answer too long");
    entry.controlId = TableFull() ? 0 : page::AddEditBox(static_cast<int16_t>(longest));
}

void ActivateHotword(int16_t controlId, const char* typedText) {
    if (controlId == 0) return;  // entries without a control hold 0: never a match
    const HotwordEntry* entry = nullptr;
    for (int i = 0; i < std::clamp<int>(HotwordCount, 0, HotwordCapacity); ++i) {
        if (HotwordTable[i].controlId == controlId) {
            entry = &HotwordTable[i];
            break;
        }
    }
    if (entry == nullptr) return;

    int16_t target = entry->target;
    int mode = shell::Follow;
    switch (entry->kind) {
    case 'R':
        book::SetVariableValue(entry->variable, entry->value);
        break;
    case 'N':
        book::SetHeld(entry->variable, 1);
        break;
    case 'Q':
        book::SetHeld(entry->variable, 0);
        break;
    case 'L':
        if (RandomNumber() % 20 + 1 > entry->value) target = entry->elseTarget;
        break;
    case 'd':
        target = DrawTarget(*entry);
        break;
    case 'S':
        target = AnswerTarget(*entry, typedText);
        break;
    case 'g':
        mode = shell::Aside;
        break;
    case 'm':
        mode = shell::Story;
        break;
    case 'u':
        // Only a saved slot gets a restore button; a slot outside the table has no place
        // to return to.
        if (book::SlotParagraph(entry->variable) < 0) return;
        book::RestoreSnapshot(entry->variable);
        target = book::SlotParagraph(entry->variable);
        mode = shell::Story;
        break;
    default:
        break;
    }
    shell::GoToParagraph(static_cast<int16_t>(target + 1), mode);
}

int32_t RandomNumber() {
    if (!RandomSeeded) {
        plat::SeedRandom(plat::TickCount() / 60);
        RandomSeeded = true;
    }
    return plat::NextRandom();
}

int CompareLoosely(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return 1;
    for (;; ++a, ++b) {
        while (*a == ' ') ++a;
        while (*b == ' ') ++b;
        int x = static_cast<unsigned char>(*a);
        int y = static_cast<unsigned char>(*b);
        if (x == 0 || y == 0) return x - y;
        if (x >= 'a' && x <= 'z') x -= 'a' - 'A';
        if (y >= 'a' && y <= 'z') y -= 'a' - 'A';
        if (x != y) return x - y;
    }
}

}  // namespace markup
