/* An equation-typesetting language in the manner of a troff preprocessor:
   boxes built by infix, prefix and postfix words, none of them with a
   precedence, so that the parser's default rule settles every conflict. */
%token TEXT QTEXT SPACE THIN TAB NUMBER
%token OVER SUB SUP FROM TO SQRT ATOP CHOOSE
%token SIZE FONT ROMAN ITALIC BOLD GSIZE GFONT
%token MARK LINEUP
%token DOT DOTDOT HAT VEC BAR UNDER
%token LEFT RIGHT PILE LPILE RPILE CPILE ABOVE
%token MATRIX LCOL RCOL CCOL COL
%token DEFINE NDEFINE TDEFINE DELIM
%%
stuff   : /* empty */
        | stuff line
        ;
line    : eqn '\n'
        | DEFINE TEXT QTEXT '\n'
        | NDEFINE TEXT QTEXT '\n'
        | TDEFINE TEXT QTEXT '\n'
        | GSIZE NUMBER '\n'
        | GFONT TEXT '\n'
        | DELIM TEXT '\n'
        | error '\n'
        ;
eqn     : box
        | eqn box
        ;
box     : box OVER box
        | box SUB box
        | box SUP box
        | box FROM box
        | box TO box
        | box ATOP box
        | box CHOOSE box
        | SQRT box
        | SIZE NUMBER box
        | FONT TEXT box
        | ROMAN box
        | ITALIC box
        | BOLD box
        | MARK box
        | LINEUP box
        | box DOT
        | box DOTDOT
        | box HAT
        | box VEC
        | box BAR
        | box UNDER
        | '{' eqn '}'
        | left eqn right
        | pile '{' pilelist '}'
        | MATRIX '{' columns '}'
        | item
        ;
left    : LEFT TEXT
        | LEFT '{'
        ;
right   : RIGHT TEXT
        | RIGHT '}'
        ;
pile    : PILE
        | LPILE
        | RPILE
        | CPILE
        ;
pilelist: eqn
        | pilelist ABOVE eqn
        ;
columns : column
        | columns column
        ;
column  : coltype '{' pilelist '}'
        ;
coltype : COL
        | LCOL
        | RCOL
        | CCOL
        ;
item    : TEXT
        | QTEXT
        | NUMBER
        | SPACE
        | THIN
        | TAB
        ;
