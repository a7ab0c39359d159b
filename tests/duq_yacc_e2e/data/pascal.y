%{
/* a tiny Pascal: the parser builds a tree, then the program runs */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct node {
	int op, val;
	char *name;
	struct node *a, *b, *c;
} node;

static node *mk(int op, node *a, node *b, node *c)
{
	node *n = (node *) calloc(1, sizeof *n);
	n->op = op; n->a = a; n->b = b; n->c = c;
	return n;
}

static char *names[50];
static int values[50], nnames;

static int *var(char *name)
{
	int i;
	for (i = 0; i < nnames; i++)
		if (strcmp(names[i], name) == 0)
			return &values[i];
	names[nnames] = name;
	return &values[nnames++];
}

static int eval(node *n);
static void run(node *n);
int yylex(void);
void yyerror(const char *s);
extern int yylineno;
%}

%union {
	int num;
	char *str;
	struct node *np;
}

%token <num> NUM
%token <str> IDENT STRING
%token PROGRAM BEGIN_ END IF THEN ELSE WHILE DO WRITELN ASSIGN
%token NE LE GE
%nonassoc '<' '>' '=' NE LE GE
%left '+' '-' OR
%left '*' DIV MOD AND
%right NOT
%right UMINUS

%type <np> block stmts stmt expr args arg

%start program
%%
program	: PROGRAM IDENT ';' block '.'	{ run($4); printf("program %s done\n", $2); }
	;
block	: BEGIN_ stmts END		{ $$ = $2; }
	;
stmts	: stmt
	| stmts ';' stmt		{ $$ = mk(';', $1, $3, 0); }
	;
stmt	: /* empty */			{ $$ = 0; }
	| IDENT ASSIGN expr		{ $$ = mk(ASSIGN, $3, 0, 0); $$->name = $1; }
	| IF expr THEN stmt		{ $$ = mk(IF, $2, $4, 0); }
	| IF expr THEN stmt ELSE stmt	{ $$ = mk(IF, $2, $4, $6); }
	| WHILE expr DO stmt		{ $$ = mk(WHILE, $2, $4, 0); }
	| WRITELN '(' args ')'		{ $$ = mk(WRITELN, $3, 0, 0); }
	| block
	| error				{ $$ = 0; }
	;
args	: arg
	| args ',' arg			{ $$ = mk(',', $1, $3, 0); }
	;
arg	: expr
	| STRING			{ $$ = mk(STRING, 0, 0, 0); $$->name = $1; }
	;
expr	: NUM				{ $$ = mk(NUM, 0, 0, 0); $$->val = $1; }
	| IDENT				{ $$ = mk(IDENT, 0, 0, 0); $$->name = $1; }
	| '(' expr ')'			{ $$ = $2; }
	| expr '+' expr			{ $$ = mk('+', $1, $3, 0); }
	| expr '-' expr			{ $$ = mk('-', $1, $3, 0); }
	| expr '*' expr			{ $$ = mk('*', $1, $3, 0); }
	| expr DIV expr			{ $$ = mk(DIV, $1, $3, 0); }
	| expr MOD expr			{ $$ = mk(MOD, $1, $3, 0); }
	| expr AND expr			{ $$ = mk(AND, $1, $3, 0); }
	| expr OR expr			{ $$ = mk(OR, $1, $3, 0); }
	| expr '<' expr			{ $$ = mk('<', $1, $3, 0); }
	| expr '>' expr			{ $$ = mk('>', $1, $3, 0); }
	| expr '=' expr			{ $$ = mk('=', $1, $3, 0); }
	| expr NE expr			{ $$ = mk(NE, $1, $3, 0); }
	| expr LE expr			{ $$ = mk(LE, $1, $3, 0); }
	| expr GE expr			{ $$ = mk(GE, $1, $3, 0); }
	| NOT expr			{ $$ = mk(NOT, $2, 0, 0); }
	| '-' expr %prec UMINUS		{ $$ = mk(UMINUS, $2, 0, 0); }
	;
%%
static int eval(node *n)
{
	switch (n->op) {
	case NUM: return n->val;
	case IDENT: return *var(n->name);
	case '+': return eval(n->a) + eval(n->b);
	case '-': return eval(n->a) - eval(n->b);
	case '*': return eval(n->a) * eval(n->b);
	case DIV: return eval(n->a) / eval(n->b);
	case MOD: return eval(n->a) % eval(n->b);
	case AND: return eval(n->a) && eval(n->b);
	case OR: return eval(n->a) || eval(n->b);
	case '<': return eval(n->a) < eval(n->b);
	case '>': return eval(n->a) > eval(n->b);
	case '=': return eval(n->a) == eval(n->b);
	case NE: return eval(n->a) != eval(n->b);
	case LE: return eval(n->a) <= eval(n->b);
	case GE: return eval(n->a) >= eval(n->b);
	case NOT: return !eval(n->a);
	case UMINUS: return -eval(n->a);
	}
	return 0;
}

static void put(node *n)
{
	if (n->op == ',') { put(n->a); put(n->b); }
	else if (n->op == STRING) printf("%s", n->name);
	else printf("%d", eval(n));
}

static void run(node *n)
{
	if (n == 0) return;
	switch (n->op) {
	case ';': run(n->a); run(n->b); break;
	case ASSIGN: *var(n->name) = eval(n->a); break;
	case IF: if (eval(n->a)) run(n->b); else run(n->c); break;
	case WHILE: while (eval(n->a)) run(n->b); break;
	case WRITELN: put(n->a); printf("\n"); break;
	}
}

void yyerror(const char *s)
{
	printf("line %d: %s\n", yylineno, s);
}

int main(int argc, char **argv)
{
	extern FILE *yyin;
	if (argc > 1 && (yyin = fopen(argv[1], "r")) == NULL) {
		perror(argv[1]);
		return 2;
	}
	return yyparse();
}
