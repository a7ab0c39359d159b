int f(void)
{
	int a;
	a = 1;
	int b;
	return a;
}
