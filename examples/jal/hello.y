%{
/* A compiler from a tiny "print" language to Jal: every statement
       print "text";
   becomes a println call in the main method of the class Hello.  The
   output goes next to the input, named after it with the extension .jal,
   so that "Spustit Jal" assembles it into HELLO.CLASS. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int yylex(void);
int yyparse(void);
void yyerror(char *s);
int save(char *text);

#define MAXTEXTS 100
char *texts[MAXTEXTS];
int ntexts;
FILE *out;
%}

%token PRINT STRING

%%
program		: statements
		;
statements	: /* empty */
		| statements statement
		;
statement	: PRINT STRING ';'
			{
				fprintf(out, "  getstatic java/lang/System out Ljava/io/PrintStream;\n");
				fprintf(out, "  ldc %s\n", texts[$2]);
				fprintf(out, "  invokevirtual java/io/PrintStream println (Ljava/lang/String;)V\n");
			}
		;
%%
#include "lexyy.cpp"

int save(char *text)
{
	if (ntexts == MAXTEXTS) {
		fprintf(stderr, "hello: prilis vela textov\n");
		exit(1);
	}
	texts[ntexts] = strdup(text);
	return ntexts++;
}

void yyerror(char *s)
{
	fprintf(stderr, "hello: %s\n", s);
}

int main(int argc, char **argv)
{
	char name[1024];
	char *dot;
	if (argc < 2 || strlen(argv[1]) + 5 > sizeof name) {
		fprintf(stderr, "pouzitie: hello VSTUP.txt\n");
		return 2;
	}
	yyin = fopen(argv[1], "r");
	if (!yyin) {
		fprintf(stderr, "hello: nemozno otvorit %s\n", argv[1]);
		return 1;
	}
	strcpy(name, argv[1]);
	dot = strchr(name, '.');
	if (dot)
		*dot = 0;
	strcat(name, ".jal");
	out = fopen(name, "w");
	if (!out) {
		fprintf(stderr, "hello: nemozno vytvorit %s\n", name);
		return 1;
	}
	fprintf(out, ".source %s\n.class public Hello .super java/lang/Object\n", name);
	fprintf(out, ".method public static main ([Ljava/lang/String;)V\n");
	if (yyparse() != 0)
		return 1;
	fprintf(out, "  return\n.endm\n");
	fclose(out);
	printf("%s zapisany\n", name);
	return 0;
}
