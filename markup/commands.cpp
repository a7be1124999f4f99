// The command set: RunCommand and its letters, and the two sound operations. Called by the
// scanner once per command; reads the arguments out of CommandBuffer and acts through the
// display list, the story variables, the hotwords and the navigation state.
#include "markup/commands.h"

#include <cstdio>

#include "book/state_file.h"
#include "book/tables.h"
#include "book/variables.h"
#include "markup/conditions.h"
#include "markup/hotwords.h"
#include "markup/scanner.h"
#include "page/display_list.h"
#include "platform/platform.h"
#include "shell/navigation.h"

namespace markup {

namespace {

constexpr int ValueTextSize = 16;  // " %d" of any 32-bit number

// Reads the number after the letter, passing over one blank (A, V, v, W, n, p).
int16_t NumberArgument() {
    SkipChar(' ');
    return ParseNumber();
}

// Reads the number after the next "%" (l, N, Q, R, r).
int16_t VariableArgument() {
    SkipPast('%');
    return ParseNumber();
}

// Reads the number after the next "*" (s, u).
int16_t SlotArgument() {
    SkipPast('*');
    return ParseNumber();
}

// Returns whether the hotword table can take the entry the command is filling. A hotword
// beyond the table is dropped: nothing is read, no control made, and the check at the end
// of the command reports the full table.
bool HotwordRoom() {
    return HotwordCount < HotwordCapacity;
}

// Reads the caption, its control and the target into the pending entry and keeps it.
void RecordCaptionHotword(bool quoted) {
    ParseHotwordCaption(quoted);
    ++HotwordCount;
}

// Records the hotword of N, Q, R or r; its caption is quoted when it starts with a quote.
void RecordVariableHotword(char kind, int16_t v) {
    HotwordEntry& entry = PendingHotword();
    entry.kind = kind;
    entry.variable = v;
    RecordCaptionHotword(SkipChar('"'));
}

// Sets (N) or clears (Q) the held byte now, or records a hotword that does so when tapped.
void HoldCommand(char letter) {
    const int16_t v = VariableArgument();
    SkipChar(' ');
    if (CommandChar() != '\0') {
        if (HotwordRoom()) RecordVariableHotword(letter, v);
        return;
    }
    book::SetHeld(v, letter == 'N' ? 1 : 0);
}

// Sets (R) or changes (r) a variable by a value: a literal number, "%w", "-%w" or "z" (a
// random draw, taken modulo the variable's upper bound when it has one). Both letters read
// every form alike; with a caption the clamped value waits in the hotword for the tap.
void SetCommand(char letter) {
    const int16_t v = VariableArgument();
    SkipChar(' ');

    bool negative = false;
    if (CommandChar() == '-' && CommandBuffer[CommandPosition + 1] == '%') {
        negative = true;
        ++CommandPosition;
    }
    int32_t value = 0;
    if (SkipChar('%')) {
        value = book::VariableValue(ParseNumber());
    } else if (SkipChar('z')) {
        value = RandomNumber();
        const int16_t upper = book::KindOf(v) < 0 ? 0 : book::StoryVariableTable[v].upperBound;
        if (upper > 0) value %= upper;
    } else {
        value = ParseNumber();
    }
    if (negative) value = -value;
    if (letter == 'r') value += book::VariableValue(v);
    value = book::ClampValue(v, value);

    SkipChar(' ');
    if (CommandChar() != '\0') {
        if (!HotwordRoom()) return;
        PendingHotword().value = value;
        RecordVariableHotword('R', v);
        return;
    }
    book::SetVariableValue(v, value);
}

// Records the hotword of M, g or m: a caption (quoted, "$n", "%v" or none) and a target.
void GoCommand(char letter) {
    if (!HotwordRoom()) return;
    PendingHotword().kind = letter;
    SkipChar(' ');
    RecordCaptionHotword(SkipChar('"'));
}

// Records the hotword of L or d: a quoted caption, chances with their targets and the else
// target.
void ChanceCommand(char letter) {
    if (!HotwordRoom()) return;
    PendingHotword().kind = letter;
    SkipPast('"');
    ParseChanceHotword();
    ++HotwordCount;
}

// Records the hotword of S: up to three answers with their targets and the else target,
// typed into an edit box.
void AnswerCommand() {
    if (!HotwordRoom()) return;
    PendingHotword().kind = 'S';
    SkipPast('(');
    ParseAnswerHotword();
    ++HotwordCount;
}

// Shows a variable (l): its current text or number joins the title or the page; a picture
// goes to the page only.
void ShowCommand() {
    const int16_t v = VariableArgument();
    char number[ValueTextSize];
    const char* text = nullptr;
    switch (book::KindOf(v)) {
    case book::TextChoice:
        text = book::CurrentText(v);
        break;
    case book::NumberValue:
        std::snprintf(number, sizeof number, " %d", static_cast<int>(book::VariableValue(v)));
        text = number;
        break;
    case book::PictureChoice:
        if (TitleMode) {
            page::ShowErrorMessage("Images not allowed in title");
        } else if (const int picture = book::CurrentPicture(v); picture >= 0) {
            page::AppendBookPicture(picture, true);
        }
        return;
    default:  // no such variable
        return;
    }
    if (text == nullptr) return;
    if (TitleMode) {
        AppendToWordBuffer(text);
    } else {
        page::AppendWords(text);
    }
}

// Offers a saved snapshot (u) as a button followed by its label and the block after the
// command; returns false for an unsaved slot, so the block is passed over.
uint8_t RestoreCommand() {
    const int16_t k = SlotArgument();
    ConditionalCommand = true;
    if (!book::SlotSaved(k)) return 0;
    if (HotwordRoom()) {
        HotwordEntry& entry = PendingHotword();
        entry.kind = 'u';
        entry.variable = k;
        SkipPast('"');
        RecordCaptionHotword(true);
    }
    const char* label = book::SnapshotSlot[k].label;
    AppendToWordBuffer(label != nullptr ? label : "");
    AppendToWordBuffer(" ");
    return 1;
}

}  // namespace

uint8_t RunCommand() {
    ConditionalCommand = false;
    HotwordEntry& pending = PendingHotword();
    pending.controlId = 0;
    pending.target = 0;
    CommandPosition = 1;

    const char letter = CommandBuffer[0];
    uint8_t result = 1;
    switch (letter) {
    case 'A': PlayBookSound(NumberArgument()); break;
    case 'B': page::BoldOn(); break;
    case 'C': StopBookSound(); break;
    case 'D': page::BoldOff(); break;
    case 'H': TitleMode = true; break;
    case 'J':
        TitleMode = false;
        EmitTitle();
        break;
    case 'L':
    case 'd': ChanceCommand(letter); break;
    case 'M':
    case 'g':
    case 'm': GoCommand(letter); break;
    case 'N':
    case 'Q': HoldCommand(letter); break;
    case 'P': page::AppendBlankLine(); break;
    case 'R':
    case 'r': SetCommand(letter); break;
    case 'S': AnswerCommand(); break;
    case 'T': page::AppendTab(); break;
    case 'U': page::AppendLineBreak(); break;
    case 'V': page::AppendBookPicture(NumberArgument(), false); break;
    case 'v': page::AppendBookPicture(NumberArgument(), true); break;
    case 'W': page::SetAlignment(NumberArgument()); break;
    case 'a':
        if (TitleMode) {
            AppendToWordBuffer(" ");
        } else {
            page::AppendWords(" ");
        }
        break;
    case 'l': ShowCommand(); break;
    case 'n': shell::NextArrow = shell::Arrow{shell::ArrowParagraph, NumberArgument()}; break;
    case 'p': shell::PreviousArrow = shell::Arrow{shell::ArrowParagraph, NumberArgument()}; break;
    case 's': book::SaveSnapshot(SlotArgument(), shell::CurrentParagraph); break;

    // The conditional commands end without the hotword check.
    case 'E':
        ConditionalCommand = true;
        return LastCondition != 0 ? 0 : 1;
    case 'O':
        ConditionalCommand = true;
        LastCondition = EvaluateCondition();
        return LastCondition;
    case 'o':
        ConditionalCommand = true;
        if (LastCondition != 0) return 0;
        LastCondition = EvaluateCondition();
        return LastCondition;
    case 'u':
        result = RestoreCommand();
        if (result == 0) return 0;
        break;

    default: break;  // Y and every other letter: accepted, no effect
    }
    if (HotwordCount >= HotwordCapacity) page::ShowErrorMessage("Hotwords structure array overflow");
    return result;
}

void PlayBookSound(int n) {
    if (book::SoundOn() == 0 || n < 0 || n >= book::SoundCount) return;
    if (book::SoundTable[n] != nullptr) plat::PlayWaveResource(book::SoundTable[n]);
}

void StopBookSound() {
    plat::StopSound();
}

}  // namespace markup
