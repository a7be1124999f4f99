// The navigation state, the moves between paragraphs and built-in pages, the choice of
// built-in page at a rebuild and the start sequence's timer. Every move ends the same way:
// RebuildNeeded is set and the main window is invalidated and painted at once, so the new
// page is built (by page/layout.cpp, which reads this state) before the move returns.
#include "shell/navigation.h"

#include <cstdio>

#include "book/tables.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "shell/builtin_pages.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace shell {

int16_t CurrentParagraph = book::FirstStoryParagraph;
int16_t StoryParagraph = book::FirstStoryParagraph;
bool InStory = true;
int SpecialPage = PresentsPage;
bool RebuildNeeded = true;
int32_t ScrollOffset = 0;
Arrow NextArrow = {ArrowOff, 0};
Arrow PreviousArrow = {ArrowOff, 0};
bool ChoiceTaken = false;
char TypedAnswer[TypedAnswerSize] = {};

namespace {

// Has the main window rebuild and paint the page now.
void RepaintNow() {
    RebuildNeeded = true;
    plat::InvalidateWindow(MainWindow, true);
    plat::UpdateWindow(MainWindow);
}

void StartTimer() {
    plat::SetTimer(MainWindow, StartSequenceTimer, StartSequencePeriod);
}

}  // namespace

void ResetNavigation() {
    CurrentParagraph = book::FirstStoryParagraph;
    StoryParagraph = book::FirstStoryParagraph;
    InStory = true;
    SpecialPage = PresentsPage;
    RebuildNeeded = true;
    ScrollOffset = 0;
    NextArrow = {ArrowOff, 0};
    PreviousArrow = {ArrowOff, 0};
    ChoiceTaken = false;
    TypedAnswer[0] = 0;
}

void VisitParagraph(int16_t paragraph) {
    InStory = false;
    CurrentParagraph = paragraph;
}

void GoToParagraph(int16_t paragraph, int mode) {
    if (paragraph < 1 || paragraph > book::ParagraphCount) {
        char message[40];
        std::snprintf(message, sizeof message, "Paragraph %d does not exist", paragraph);
        page::ShowErrorMessage(message);
        return;
    }
    if (mode == Story || (mode == Follow && InStory)) {
        StoryParagraph = paragraph;
        CurrentParagraph = paragraph;
        InStory = true;
    } else {
        VisitParagraph(paragraph);
    }
    ScrollOffset = 0;
    RepaintNow();
}

void ShowSpecialPage(int page) {
    // Left running, the timer of a start sequence cut short would replace this page with
    // the paragraph a moment later.
    plat::KillTimer(MainWindow, StartSequenceTimer);
    SpecialPage = page;
    ScrollOffset = 0;
    RepaintNow();
}

void BuildSpecialPage() {
    switch (SpecialPage) {
    case BookDetailsPage:
        BuildBookDetailsPage();
        NextArrow = {ArrowParagraph, book::FirstStoryParagraph - 1};  // targets are stored minus one
        PreviousArrow = {ArrowPage, TitlePage};
        page::CreateTextButton("INSTRUCTIONS", InstructionsCommand);
        SpecialPage = NoSpecialPage;
        break;
    case TitlePage:
        BuildTitlePage();
        SpecialPage = BookDetailsPage;
        StartTimer();
        break;
    case PresentsPage:
        BuildPresentsPage();
        SpecialPage = TitlePage;
        StartTimer();
        break;
    case ButtonGuidePage:
        BuildButtonGuidePage();
        SpecialPage = NoSpecialPage;
        break;
    case SupportPage:
        BuildSupportPage();
        SpecialPage = NoSpecialPage;
        break;
    case SoundPage:
        BuildSoundPage();
        SpecialPage = NoSpecialPage;
        break;
    default:
        break;
    }
}

void HandleTimer() {
    plat::KillTimer(MainWindow, StartSequenceTimer);
    RepaintNow();
}

}  // namespace shell
