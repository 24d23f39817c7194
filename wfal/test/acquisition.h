// The acquisition run: the result file of a test, one record per second from the measurement
// engine, and the test's start, stop, freeze and continue.
#pragma once

#include <windows.h>

// Creates the result file and starts the engine's measurements; a failure is reported and
// leaves no test running.
void test_start();
// Takes every waiting result of the engine and appends the records that are due. TRUE when it
// wrote a record.
BOOL acquisition_tick();
// Ends the running test and shows the recording still.
void test_stop();
// Freezes the display of a running test, or lets a frozen one continue.
void freeze_toggle();
