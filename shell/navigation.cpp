// The navigation state and GoToParagraph. The command handler, the built-in pages and the
// start sequence join this file as the shell grows.
#include "shell/navigation.h"

#include <cstdio>

#include "book/tables.h"
#include "page/display_list.h"

namespace shell {

int16_t CurrentParagraph = 2;
int16_t StoryParagraph = 2;
bool InStory = true;
int SpecialPage = 3;
bool RebuildNeeded = true;
int32_t ScrollOffset = 0;
Arrow NextArrow = {0, 0};
Arrow PreviousArrow = {0, 0};
bool ChoiceTaken = false;

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
    RebuildNeeded = true;
}

}  // namespace shell
