// The fatal error report: a message box with no owner, then the exit steps and exit status -1.
#pragma once

namespace korvane {

// Runs after the message loop and after a fatal report: releases what start-up acquired.
using ExitSteps = void (*)();
void set_exit_steps(ExitSteps steps);
void run_exit_steps();

[[noreturn]] void fatal_error_report(const char* message);

// Routes the allocation service's exhaustion to the fatal report.
void install_allocation_failure_report();

}  // namespace korvane
