// The markup scanner and the small readers that the commands use to take their arguments
// out of CommandBuffer. Called by the page rebuild with the paragraph's assembled text;
// calls RunCommand once per command and hands text to the display list.
#include "markup/scanner.h"

#include <cstdio>

#include "markup/commands.h"
#include "markup/hotwords.h"
#include "page/display_list.h"

namespace markup {

ScanState State = ScanState::BeforeText;
int16_t ScanPosition = 0;
char WordBuffer[WordBufferSize + 1] = {};
int16_t WordLength = 0;
char CommandBuffer[CommandBufferSize + 1] = {};
int16_t CommandPosition = 0;
bool TitleMode = false;
bool ConditionalCommand = false;
uint8_t CommandResult = 0;
uint8_t LastCondition = 1;
int16_t SkipCount = 0;

namespace {

constexpr int MessageSize = 40;
constexpr int16_t MaxSkipCount = INT16_MAX;

void ReportLength(const char* format, int length) {
    char message[MessageSize];
    std::snprintf(message, sizeof message, format, length);
    page::ShowErrorMessage(message);
}

// Appends one character of a text run. A full buffer drops the character; the message
// came when the buffer filled, so a long run is reported once, not once per character.
void AppendToWord(char c) {
    if (WordLength >= WordBufferSize) return;
    WordBuffer[WordLength++] = c;
    WordBuffer[WordLength] = '\0';
    if (WordLength == WordBufferSize) ReportLength("%d is Too many letters in word", WordLength);
}

// Same rule for the command being collected.
void AppendToCommand(char c) {
    if (CommandPosition >= CommandBufferSize) return;
    CommandBuffer[CommandPosition++] = c;
    CommandBuffer[CommandPosition] = '\0';
    if (CommandPosition == CommandBufferSize) {
        ReportLength("%d is Too many letters in command", CommandPosition);
    }
}

void StartCommand() {
    if (!TitleMode) FlushText();
    CommandBuffer[0] = '\0';
    CommandPosition = 0;
    State = ScanState::InCommand;
}

void EndCommand() {
    const uint8_t result = RunCommand();
    CommandResult = result;
    if (ConditionalCommand) {
        State = ScanState::AwaitBlock;
    } else {
        State = result != 0 ? ScanState::BeforeText : ScanState::SkipBlock;
    }
}

// A "{": a false block is passed over by SkipCount characters first, never past the end of
// the text; the rest of it, up to the next "}", is dropped by the SkipBlock state.
void OpenBlock(const char* text) {
    if (State == ScanState::AwaitBlock) {
        if (CommandResult != 0) {
            State = ScanState::BeforeText;
        } else {
            State = ScanState::SkipBlock;
            for (int16_t i = 0; i < SkipCount && text[ScanPosition] != '\0'; ++i) ++ScanPosition;
        }
    }
    SkipCount = 0;
}

void PlainCharacter(char c) {
    switch (State) {
    case ScanState::BeforeText:
        if (c == ' ') return;
        State = ScanState::InText;
        AppendToWord(c);
        return;
    case ScanState::InText:
        AppendToWord(c);
        if (c == ' ' && !TitleMode) FlushIfLong();
        return;
    case ScanState::InCommand:
        AppendToCommand(c);
        return;
    case ScanState::AwaitBlock:
        // Saturates rather than wrapping, so a long digit run skips to the end of the text
        // instead of turning negative.
        if (c >= '0' && c <= '9') {
            const int next = SkipCount * 10 + (c - '0');
            SkipCount = next > MaxSkipCount ? MaxSkipCount : static_cast<int16_t>(next);
        }
        return;
    case ScanState::SkipBlock:
        return;
    }
}

}  // namespace

void MarkupScanner(const char* text) {
    HotwordCount = 0;
    LastCondition = 1;
    WordLength = 0;
    WordBuffer[0] = '\0';
    ScanPosition = 0;
    State = ScanState::BeforeText;

    // ScanPosition is 16 bits wide; a text longer than that is scanned up to that point.
    while (text[ScanPosition] != '\0' && ScanPosition < INT16_MAX) {
        const char c = text[ScanPosition++];
        switch (c) {
        case '<':
            if (State != ScanState::SkipBlock) StartCommand();
            break;
        case '>':
            if (State == ScanState::InCommand) EndCommand();
            break;
        case '{':
            OpenBlock(text);
            break;
        case '}':
            State = ScanState::BeforeText;
            break;
        default:
            PlainCharacter(c);
            break;
        }
    }
}

void FlushText() {
    if (WordLength > 0) page::FlushWordBuffer(WordBuffer);
    WordLength = 0;
    WordBuffer[0] = '\0';
}

void FlushIfLong() {
    if (WordLength > FlushThreshold) {
        WordLength = static_cast<int16_t>(WordLength - page::FlushWordBuffer(WordBuffer));
    }
}

void EmitTitle() {
    page::AppendTitle(WordBuffer);
    WordLength = 0;
    WordBuffer[0] = '\0';
}

void AppendToWordBuffer(const char* text) {
    if (*text == '\0') return;
    while (*text != '\0' && WordLength < WordBufferSize) WordBuffer[WordLength++] = *text++;
    WordBuffer[WordLength] = '\0';
    if (WordLength >= WordBufferSize) ReportLength("%d is Too many letters in word", WordLength);
}

char CommandChar() {
    if (CommandPosition < 0 || CommandPosition > CommandBufferSize) return '\0';
    return CommandBuffer[CommandPosition];
}

bool SkipChar(char c) {
    if (c == '\0' || CommandChar() != c) return false;
    ++CommandPosition;
    return true;
}

void SkipPast(char c) {
    for (char at = CommandChar(); at != '\0'; at = CommandChar()) {
        ++CommandPosition;
        if (at == c) return;
    }
}

int16_t ParseNumber() {
    // Unsigned arithmetic wraps like the 16-bit value the result is taken as.
    uint16_t value = 0;
    bool negative = false;
    for (char c = CommandChar();; c = CommandChar()) {
        if (c >= '0' && c <= '9') {
            value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(c - '0'));
        } else if (c == '-') {
            negative = true;
        } else if (c != '+') {
            break;
        }
        ++CommandPosition;
    }
    if (negative) value = static_cast<uint16_t>(0u - value);
    return static_cast<int16_t>(value);
}

}  // namespace markup
