%{
/* hoc, second stage: double values without %union, 26 variables */
#include <stdio.h>
#include <ctype.h>
#define YYSTYPE double
double mem[26];
int lineno = 1;
int yylex(void);
void yyerror(char *s);
%}
%token NUMBER VAR
%right '='
%left '+' '-'
%left '*' '/'
%left UNARYMINUS
%right '^'
%%
list:	  /* nothing */
	| list '\n'
	| list asgn '\n'
	| list expr '\n'	{ printf("\t%.8g\n", $2); }
	| list expr ';' '\n'	{ printf("%s %.8g\n", "{;}", $2); }
	| list error '\n'	{ yyerrok; }
	;
asgn:	  VAR '=' expr		{ $$ = mem[(int) $1] = $3; }
	;
expr:	  NUMBER
	| VAR			{ $$ = mem[(int) $1]; }
	| asgn
	| expr '+' expr		{ $$ = $1 + $3; }
	| expr '-' expr		{ $$ = $1 - $3; }
	| expr '*' expr		{ $$ = $1 * $3; }
	| expr '/' expr		{
				  if ($3 == 0.0) {
					yyerror("division by zero");
					YYERROR;
				  }
				  $$ = $1 / $3;
				}
	| expr '^' expr		{ int i; $$ = 1; for (i = 0; i < (int) $3; i++) $$ *= $1; }
	| '(' expr ')'		{ $$ = $2; }
	| '-' expr %prec UNARYMINUS	{ $$ = -$2; }
	;
%%
int yylex(void)
{
	int c;

	while ((c = getchar()) == ' ' || c == '\t')
		;
	if (c == EOF)
		return 0;
	if (c == '.' || isdigit(c)) {
		ungetc(c, stdin);
		scanf("%lf", &yylval);
		return NUMBER;
	}
	if (islower(c)) {
		yylval = c - 'a';
		return VAR;
	}
	if (c == '\n')
		lineno++;
	return c;
}

void yyerror(char *s)
{
	fprintf(stdout, "hoc: %s near line %d\n", s, lineno);
}

int main(void)
{
	yyparse();
	return 0;
}
