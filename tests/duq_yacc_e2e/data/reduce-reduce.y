/* After 'z', a and b both reduce on 'x': the earlier rule wins. */
%%
s : a 'x'   { printf("a\n"); }
  | b 'x'   { printf("b\n"); }
  | b 'y'   { printf("by\n"); }
  ;
a : 'z' ;
b : 'z' ;
%%
#include "charlex.h"
