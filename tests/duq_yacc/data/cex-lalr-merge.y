/* LR(1) but not LALR(1): the two states after C have the same items and
   are merged, so their lookaheads mix. */
%token A B C D E
%%
s : A x D
  | B y D
  | A y E
  | B x E
  ;
x : C ;
y : C ;
