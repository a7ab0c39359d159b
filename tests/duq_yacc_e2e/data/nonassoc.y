/* Comparisons do not chain. */
%nonassoc '<'
%left '+'
%%
top  : e                    { printf("ok\n"); } ;
e    : e '<' e | e '+' e | 'n' ;
%%
#include "charlex.h"
