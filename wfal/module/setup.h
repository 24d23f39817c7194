// Defaults and validity of the set-up (the current header) and the display settings.
#pragma once

// Sets the display and set-up defaults, chooses the option tables by wfal.wideband, then
// validates. The white level keeps its last value.
void setup_defaults();
// Brings the header's set-up and the display settings into their valid ranges against the
// option tables in force (setup_defaults chooses them), and terminates the header's texts.
void setup_validate();
// Brings only the display settings into their valid ranges. The header is left alone: while a
// file is viewed it is that file's own set-up, which the option tables in force may not offer.
void setup_validate_display();
