%LEFT '+'
\token A
%TOKEN B
\%
s : A '+' B ;
