%{
#include <stdio.h>
#include <stdlib.h>
int yylex(void);
void yyerror(char *s);
int regs[26];
int lines;
%}
%union {
	int ival;
	char *sval;
}
%token <ival> NUMBER LETTER
%token QUIT CHECK SUM
%type <ival> expr stat list_of
%left '+' '-'
%left '*' '/' '%'
%left UMINUS
%%
input	: /* empty */
	| input stat '\n'	{ lines++; }
	| input error '\n'	{ yyerrok; yyclearin; printf("line %d skipped\n", lines + 1); lines++; }
	;
stat	: expr			{ printf("%d\n", $1); }
	| LETTER '=' expr	{ regs[$1] = $3; $$ = $3; }
	| QUIT			{ printf("bye\n"); YYACCEPT; }
	| CHECK expr		{ if ($2 < 0) { printf("negative, abort\n"); YYABORT; } printf("ok %d\n", $2); }
	| SUM { $<ival>$ = lines; } '(' list_of ')'
				{ printf("sum %d at line %d\n", $4, $<ival>2 + 1); }
	;
list_of	: expr			{ $$ = $1; }
	| list_of ',' { $<sval>$ = "+"; } expr
				{ $$ = $1 + $4; if (*$<sval>3 != '+') YYABORT; }
	;
expr	: '(' expr ')'		{ $$ = $2; }
	| expr '+' expr		{ $$ = $1 + $3; }
	| expr '-' expr		{ $$ = $1 - $3; }
	| expr '*' expr		{ $$ = $1 * $3; }
	| expr '/' expr		{ if ($3 == 0) { printf("division by zero\n"); YYERROR; } $$ = $1 / $3; }
	| expr '%' expr		{ if ($3 == 0) { printf("division by zero\n"); YYERROR; } $$ = $1 % $3; }
	| '-' expr %prec UMINUS	{ $$ = -$2; }
	| LETTER		{ $$ = regs[$1]; }
	| NUMBER
	;
%%
void yyerror(char *s)
{
	printf("%s\n", s);
}

int main(void)
{
	int r = yyparse();
	printf("result %d after %d lines\n", r, lines);
	return 0;
}

#include "lexyy.cpp"
