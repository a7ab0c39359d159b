/* An operator without precedence (a short search shows it ambiguous),
   and two empty rules that only the token after a list tells apart (no
   input reads both ways, and the search for one is long). */
%token N A C D E
%%
s : e
  | x l D
  | y m E
  ;
e : e '-' e
  | N
  ;
x : ;
y : ;
l : l A | C ;
m : m A | C ;
