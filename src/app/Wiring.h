#pragma once

// Gives the windows of the lower layers what they need from the wizard above them: the letter's
// date, object and body for the writing assistant, the reloading of the reference lists, the
// status line that confirms a print. Called once, before Main.
void wireWindows();
