%{
/* A desk calculator: integer expressions with + - * / %, unary minus,
   parentheses and the variables a to z, one statement per line.
   A line with a syntax error is reported and skipped. */
#include <stdio.h>
#include <stdlib.h>

int yylex(void);
int yyparse(void);
int divide(int a, int b, int remainder);
void yyerror(char *s);

int vars[26];
int lineno = 1;
char *lastError = "";
%}

%token NUMBER NAME
%left '+' '-'
%left '*' '/' '%'
%right UMINUS

%%
lines	: /* empty */
	| lines line
	;

line	: '\n'			{ lineno++; }
	| expr '\n'		{ printf("%d\n", $1); lineno++; }
	| NAME '=' expr '\n'	{ vars[$1] = $3; printf("%c = %d\n", 'a' + $1, $3); lineno++; }
	| error '\n'		{ printf("riadok %d: %s\n", lineno, lastError); yyerrok; lineno++; }
	;

expr	: expr '+' expr		{ $$ = $1 + $3; }
	| expr '-' expr		{ $$ = $1 - $3; }
	| expr '*' expr		{ $$ = $1 * $3; }
	| expr '/' expr		{ $$ = divide($1, $3, 0); }
	| expr '%' expr		{ $$ = divide($1, $3, 1); }
	| '-' expr %prec UMINUS	{ $$ = -$2; }
	| '(' expr ')'		{ $$ = $2; }
	| NUMBER		{ $$ = $1; }
	| NAME			{ $$ = vars[$1]; }
	;
%%
#include "lexyy.cpp"

int divide(int a, int b, int remainder)
{
	if (b == 0) {
		printf("riadok %d: delenie nulou\n", lineno);
		return 0;
	}
	/* the one quotient an int cannot hold traps on most machines:
	   wrap it, as + - * wrap */
	if (b == -1)
		return remainder ? 0 : (int) (0u - (unsigned) a);
	return remainder ? a % b : a / b;
}

void yyerror(char *s)
{
	lastError = s;
}

int main(int argc, char **argv)
{
	if (argc > 1) {
		yyin = fopen(argv[1], "r");
		if (!yyin) {
			fprintf(stderr, "calc: nemozno otvorit %s\n", argv[1]);
			return 1;
		}
	}
	return yyparse();
}
