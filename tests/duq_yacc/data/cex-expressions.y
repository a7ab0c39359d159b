/* Binary operators without precedence: every pair is ambiguous. */
%token NUM
%%
e : e '+' e
  | e '*' e
  | '(' e ')'
  | NUM
  ;
