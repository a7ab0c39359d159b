%{
/* Each letter starts a pair of rules that reduce the same 'q' two ways,
   by the token after it: every such state has its own exception row,
   the later letters' rows deep in the table. */
#include <stdio.h>
int yylex();
void yyerror(const char *s);
int yyparse();
%}
%%
list : /* empty */
     | list one
     ;
one  : 'a' ax 'x' { printf("ax "); } | 'a' ay 'y' { printf("ay "); }
     | 'b' bx 'x' { printf("bx "); } | 'b' by 'y' { printf("by "); }
     | 'c' cx 'x' { printf("cx "); } | 'c' cy 'y' { printf("cy "); }
     | 'd' dx 'x' { printf("dx "); } | 'd' dy 'y' { printf("dy "); }
     | error ';'  { printf("recovered "); yyerrok; }
     ;
ax : 'q' ; ay : 'q' ;
bx : 'q' ; by : 'q' ;
cx : 'q' ; cy : 'q' ;
dx : 'q' ; dy : 'q' ;
%%
const char *in;
int yylex()
{
    while (*in == ' ')
        ++in;
    return *in ? *in++ : 0;
}
void yyerror(const char *s) { printf("[%s] ", s); }
int main(int argc, char **argv)
{
    int r;
    in = argv[1];
    r = yyparse();
    printf("result %d\n", r);
    return 0;
}
