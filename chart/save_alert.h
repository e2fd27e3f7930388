// SPDX-License-Identifier: MIT
#pragma once
#include <string>

// The message of a save that did not happen: `sentence` ("The image could not be saved to PATH")
// with its path broken into lines short enough that the alert stays on screen, then the reason
// on a line of its own.
std::string failed_save_text(const std::string& sentence, const std::string& reason);

// Shows the text as an alert from a zero-delay timeout: the alert's own event loop then runs with
// no chart, menu or chooser below it on the stack, so a run that ends meanwhile and rebuilds the
// charts cannot pull a widget out from under it.
void alert_later(const std::string& text);

// The sentence of a failed image save, before its path.
extern const char kImageNotSavedTo[];
// The reason given when the chart went away before its save was carried out.
extern const char kChartClosed[];

// The alert itself (fl_alert by default); tests swap it for a recorder so nothing blocks.
extern void (*chart_alert)(const char* text);
