%%
list : | list 'x' ;
