// Script steps and the closing of the session run when one of the module's modal loops waits.
#pragma once

// Starts watching the modal loops; false if it cannot.
bool idle_start();
