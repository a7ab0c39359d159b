/* One shift/reduce conflict: the else goes with the nearest if. */
%{
#define LEXMAP(c) ((c) == 'i' ? IF : (c) == 'e' ? ELSE : (c) == 'x' ? X : (c))
%}
%token IF ELSE X
%%
stmt : IF stmt              { printf("if "); }
     | IF stmt ELSE stmt    { printf("ifelse "); }
     | X                    { printf("x "); }
     ;
%%
#include "charlex.h"
