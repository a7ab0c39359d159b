# define A 257
#define B
# define C 3 junk # define D 4
