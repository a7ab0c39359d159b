%%
s : 'a'

  { go(); }
  | 'b' = stop();
