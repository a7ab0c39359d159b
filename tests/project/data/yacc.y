%{
/* Cast definicii */
int yyparse(void), yylex(void);

#include "lexyy.cpp"
%}

%%
/* Cast pravidiel */
Subor		:/* e */
		;

%%
/* Cast funkcii */
void yyerror(char *s){
}

int main(int ac,char *av[]){

	(void)yyparse();
	return(0);
}

