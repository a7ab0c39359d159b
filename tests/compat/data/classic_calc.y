%{
#include <stdio.h>
%}
%token NUM
%left '+' '-'
%left '*'
%%
lines	: /* empty */
	| lines expr '\n'	{ printf("%d\n", $2); }
	| lines error '\n'	{ yyerrok; }
	;
expr	: expr '+' expr		{ $$ = $1 + $3; }
	| expr '-' expr		{ $$ = $1 - $3; }
	| expr '*' expr		{ $$ = $1 * $3; }
	| NUM
	;
%%
main()
{
	return yyparse();
}

yyerror(char *s)
{
	fprintf(stderr, "%s\n", s);
}

#include "lexyy.cpp"
