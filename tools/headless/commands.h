// commands.h -- the subcommands of searchlight-headless.
#pragma once

// Each takes the arguments after the subcommand name and returns the exit status.
int runTurns(int argc, char** argv);  // run [--turns N] [--data DIR]
int runCity(int argc, char** argv);
int runTrace(int argc, char** argv);
int runShot(int argc, char** argv);
int runBench(int argc, char** argv);
int runSoak(int argc, char** argv);
