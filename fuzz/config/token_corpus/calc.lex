# define NUMBER 257
# define NAME 258
# define UMINUS 259
