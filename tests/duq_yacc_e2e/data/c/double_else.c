int f(int a)
{
	if (a) {
		a++;
	}
	else else a--;
}
