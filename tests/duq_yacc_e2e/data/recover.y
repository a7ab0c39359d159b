/* The error token resynchronises on ';'; with option 1 the recovery
   action calls yyerrok. */
%%
list : | list stmt ;
stmt : 'n' ';'              { printf("ok\n"); }
     | error ';'            { if (option) yyerrok; printf("recovered\n"); }
     ;
%%
#include "charlex.h"
