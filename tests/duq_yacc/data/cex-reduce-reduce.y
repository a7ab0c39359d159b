/* A name may be a variable or a type, and both start a statement. */
%token ID
%%
stmt : var '=' ID ';'
     | type '=' ID ';'
     ;
var  : ID ;
type : ID ;
