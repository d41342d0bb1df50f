#pragma once

// Connects the windows of the letter assistant that do not know one another: which window each
// form name creates, and where the wizard and the editor hand letters to printing. Called once,
// before Main.
void wireWindows();
