int f(void)
{
	int x = 1
	return x;
}
