int f(int a, int b)
{
	if (a)
		if (b)
			return 1;
		else
			return 2;
	else
		return 3;
	if (a) if (b) a = 1; else b = 2;
	return 0;
}
