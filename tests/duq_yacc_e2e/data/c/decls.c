/* Declarators of every shape, old-style definitions, bit fields. */
typedef unsigned int word_t;
/* handler_t is known to the scanner, as if a header had declared it. */

struct flags {
	unsigned ready : 1, : 3;
	signed mode : 4;
	union { long l; float f; } u;
};

int (*table[4])(int, char *);
char *(*getter(void))[10];
void (*signal(int sig, void (*func)(int)))(int);
static volatile int * const port = (int *) 0x3f8;
register short r;
long double ld;
int printf(const char *format, ...);
size_t length(const char *s, word_t limit);

/* An old-style definition, and one without a return type. */
int add(a, b)
	int a;
	int b;
{
	return a + b;
}

twice(x)
{
	return x << 1;
}

int matrix[3][3] = { { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 } };

word_t casts(void)
{
	auto int i = sizeof(int *[3]) + sizeof (char (*)(void)) + sizeof i;
	unsigned char b = (unsigned char) ~0;
	handler_t h = (handler_t) 0;
	i = i * 2 / 3 % 4 - -i + +i;
	i = (i << 2 | i >> 1) ^ (i & 7);
	i = i <= 3 || i >= 4 && i != 5 && i == 6;
	i *= 2; i /= 2; i %= 7; i += 1; i -= 1; i <<= 1; i >>= 1; i &= 3; i ^= 1; i |= 8;
	b = *&b;
	matrix[1][2]++;
	--matrix[0][0];
	{
		struct flags f, *p = &f;
		p->u.l = f.mode, (void) 0;
	}
	;
	return (word_t) b + h == 0;
}
