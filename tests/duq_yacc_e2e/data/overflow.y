/* Right recursion: every 'a' stays on the stack until the end. */
%%
list : 'a' list { ++n; } | { n = 0; } ;
%%
int n;
#include "charlex.h"
