// The system's font configuration read from the very start of the program. Where Qt finds its
// fonts through fontconfig, reading fontconfig's configuration is most of what the first text
// drawn waits for, and it needs no application object: main() starts it on a thread of its own
// before it makes the application, so that the two overlap. Where the program has no fontconfig
// both calls do nothing.
#pragma once

namespace mervane::gui {

// Starts reading the configuration (once; later calls do nothing).
void start_reading_font_configuration();

// Returns once the configuration started above is read; at once if it was never started.
void wait_for_font_configuration();

}  // namespace mervane::gui
