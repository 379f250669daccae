// inspect.h -- `searchlight-assets inspect [--normals] FILE...`: decodes data
// files with the game's own readers and prints one summary per file.
#pragma once

// argv holds the arguments after the word "inspect". Returns 0, or 1 when
// any file gave an error line, or 2 on a usage error.
int runInspect(int argc, char** argv);
