/* Twenty-one binary operators, none with a precedence. */
%token NUM
%%
e : e '+' e
  | e '-' e
  | e '*' e
  | e '/' e
  | e '%' e
  | e '^' e
  | e '&' e
  | e '|' e
  | e '<' e
  | e '>' e
  | e '=' e
  | e '!' e
  | e '~' e
  | e '@' e
  | e '#' e
  | e '$' e
  | e ':' e
  | e '?' e
  | e ',' e
  | e '.' e
  | e ';' e
  | NUM
  ;
