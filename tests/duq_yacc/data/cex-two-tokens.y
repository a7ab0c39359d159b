/* Needs two tokens of lookahead: not ambiguous, yet no LALR(1) parser. */
%token Q X Y Z
%%
s : a X Y
  | b X Z
  ;
a : Q ;
b : Q ;
